#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmSetAccountPasswordForm;
}

// Asks for the password of a new book, twice; both empty means no password.
class TfrmSetAccountPasswordForm : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSetAccountPasswordForm(QWidget *parent = nullptr);
    ~TfrmSetAccountPasswordForm() override;

    void btnOkClick();
    void Button1Click();

    // The password without surrounding blanks, read by the caller after OK.
    QString ChosenPassword;

private:
    std::unique_ptr<Ui::frmSetAccountPasswordForm> m_ui;
};
