#include "EditpwdForm.h"
#include "ui_EditpwdForm.h"

#include "AccountRegistry.h"
#include "Connection.h"
#include "CurrentAccount.h"
#include "DbError.h"
#include "Messages.h"
#include "PasswordHash.h"

#include <QLabel>
#include <QPushButton>

TfrmEditpwdForm::TfrmEditpwdForm(QWidget *parent)
    : TfrmWinStyleForm(parent), m_ui(std::make_unique<Ui::frmEditpwdForm>()), m_adc(new Connection(this))
{
    m_adc->setObjectName(QStringLiteral("adc"));
    m_ui->setupUi(Panel2());
    setObjectName(QStringLiteral("frmEditpwdForm"));
    setWindowTitle(QStringLiteral("Change password"));
    Label1()->setText(QStringLiteral("Introduction"));
    Label2()->setText(QStringLiteral("Change Account  password"));
    btnOk()->setText(QStringLiteral("OK"));
    btnCancel()->setText(QStringLiteral("Cancel"));
    setTabOrder(m_ui->edtNewPwdRepeat, btnOk());
    setTabOrder(btnOk(), btnCancel());
    connect(btnOk(), &QPushButton::clicked, this, &TfrmEditpwdForm::btnOkClick);
}

TfrmEditpwdForm::~TfrmEditpwdForm() = default;

void TfrmEditpwdForm::FormShow()
{
    TfrmWinStyleForm::FormShow();
    m_ui->lblID->setText(CurrentAccountID + QLatin1Char('[') + CurrentAccountName + QLatin1Char(']'));
}

void TfrmEditpwdForm::btnOkClick()
{
    if (m_ui->edtOldPwd->text().trimmed() != CurrentAccountPassword) {
        ShowMessageBox(this, QStringLiteral("old password is invalid!"), 1);
        return;
    }
    if (m_ui->edtNewpwd->text() != m_ui->edtNewPwdRepeat->text()) {
        ShowMessageBox(this, QStringLiteral("New Password and Confirm Password inconsistent"), 1);
        return;
    }
    const QString password = m_ui->edtNewpwd->text().trimmed();
    try {
        OpenRegistry(m_adc);
    } catch (const DbError &e) {
        ShowMessageBox(nullptr, QStringLiteral("Message:\r\r") + e.text(), 1);
        return;
    }
    try {
        if (m_adc->Execute(UpdatePasswordSql(HashPassword(password), CurrentAccountID)) < 1)
            throw DbError(QStringLiteral("The account %1[%2] is not in the registry.").arg(CurrentAccountID, CurrentAccountName));
    } catch (const DbError &e) {
        m_adc->Close();
        ShowMessageBox(this, QStringLiteral("Message:\r\r") + e.text(), 1);
        return;
    }
    ShowMessageBox(this, QStringLiteral("Password changed successfully!"), 1);
    CurrentAccountPassword = password;
    m_adc->Close();
    accept();
}
