#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmEnterAccountPwdForm;
}

// Asks for the password of the book being opened until it is right or cancelled.
class TfrmEnterAccountPwdForm : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEnterAccountPwdForm(QWidget *parent = nullptr);
    ~TfrmEnterAccountPwdForm() override;

    // Checks the typed password; on success sets CurrentAccountPassword and closes with OK.
    void btnOkClick();
    void Button1Click();

    // The stored password hash of the book, set by the caller before showing.
    QString ExpectedPassword;

private:
    std::unique_ptr<Ui::frmEnterAccountPwdForm> m_ui;
};
