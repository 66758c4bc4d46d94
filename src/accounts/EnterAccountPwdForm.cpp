#include "EnterAccountPwdForm.h"
#include "ui_EnterAccountPwdForm.h"

#include "CurrentAccount.h"
#include "Messages.h"
#include "PasswordHash.h"

#include <QStyle>

TfrmEnterAccountPwdForm::TfrmEnterAccountPwdForm(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmEnterAccountPwdForm>())
{
    m_ui->setupUi(this);
    QPalette header = m_ui->Panel1->palette();
    header.setColor(QPalette::Window, Qt::white);
    m_ui->Panel1->setPalette(header);
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(48, 48));
    connect(m_ui->btnOk, &QPushButton::clicked, this, &TfrmEnterAccountPwdForm::btnOkClick);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TfrmEnterAccountPwdForm::Button1Click);
    // Enter in the field runs OK.
    connect(m_ui->edtPwd, &QLineEdit::returnPressed, m_ui->btnOk, &QPushButton::click);
}

TfrmEnterAccountPwdForm::~TfrmEnterAccountPwdForm() = default;

void TfrmEnterAccountPwdForm::btnOkClick()
{
    const QString typed = m_ui->edtPwd->text().trimmed();
    if (!VerifyPassword(typed, ExpectedPassword)) {
        ShowMessageBox(this, QStringLiteral("Invalid Password!"), 1);
        m_ui->edtPwd->setFocus();
        m_ui->edtPwd->selectAll();
        return;
    }
    CurrentAccountPassword = typed;
    accept();
}

void TfrmEnterAccountPwdForm::Button1Click()
{
    reject();
}
