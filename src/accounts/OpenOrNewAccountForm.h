#pragma once

#include "TTBas.h"

#include <functional>
#include <memory>

namespace Ui {
class frmOpenOrNewAccountForm;
}

class Connection;
class Query;

// The way into an account book: lists the books of the registry, opens the
// selected one (asking for its password), creates and deletes books.
// Ends with OK only once a session on the chosen book is open.
class TfrmOpenOrNewAccountForm : public TTBas
{
    Q_OBJECT
public:
    // Runs a nested modal dialog (password prompt, set-password dialog) and gives
    // its result. Tests install one that answers the dialog without exec().
    using ModalRunner = std::function<int(QDialog *dialog)>;
    static void SetModalRunner(ModalRunner runner);

    explicit TfrmOpenOrNewAccountForm(QWidget *parent = nullptr);
    ~TfrmOpenOrNewAccountForm() override;

    // Connects to the registry and lists the books.
    void FormShow() override;
    void btnOkClick();
    void grdDataDblClick();
    void Button2Click();
    void Button3Click();
    void Button1Click();
    // True when a character typed into edtNew is kept.
    static bool edtNewKeyPress(QChar key);

    Query *aq_Data() const { return m_aqData; }
    Connection *adc() const { return m_adc; }

private:
    // Reads the registry into the list; an error is shown and leaves the list empty.
    void ListAccounts();
    void fillGrid();
    void selectRow(int row);

    std::unique_ptr<Ui::frmOpenOrNewAccountForm> m_ui;
    Connection *m_adc;
    Query *m_aqData;
    Query *m_aqCmd;
};
