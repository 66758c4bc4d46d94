#include "SetAccountPasswordForm.h"
#include "ui_SetAccountPasswordForm.h"

#include "Messages.h"

#include <QStyle>

TfrmSetAccountPasswordForm::TfrmSetAccountPasswordForm(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmSetAccountPasswordForm>())
{
    m_ui->setupUi(this);
    QPalette header = m_ui->Panel1->palette();
    header.setColor(QPalette::Window, Qt::white);
    m_ui->Panel1->setPalette(header);
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    connect(m_ui->btnOk, &QPushButton::clicked, this, &TfrmSetAccountPasswordForm::btnOkClick);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TfrmSetAccountPasswordForm::Button1Click);
}

TfrmSetAccountPasswordForm::~TfrmSetAccountPasswordForm() = default;

void TfrmSetAccountPasswordForm::btnOkClick()
{
    if (m_ui->edtPwd->text().isEmpty() && m_ui->edtConfirm->text().isEmpty()) {
        if (ShowMessageBox(this, QStringLiteral("Set of books does not set the password to confirm?"), 2)) {
            ChosenPassword.clear();
            accept();
        }
        return;
    }
    const QString password = m_ui->edtPwd->text().trimmed();
    if (password != m_ui->edtConfirm->text().trimmed()) {
        ShowMessageBox(this, QStringLiteral("Password and Confirm Password inconsistent"), 1);
        return;
    }
    ChosenPassword = password;
    accept();
}

void TfrmSetAccountPasswordForm::Button1Click()
{
    reject();
}
