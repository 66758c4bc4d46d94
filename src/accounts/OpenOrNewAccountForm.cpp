#include "OpenOrNewAccountForm.h"
#include "ui_OpenOrNewAccountForm.h"

#include "AccountRegistry.h"
#include "Connection.h"
#include "CurrentAccount.h"
#include "DbError.h"
#include "EnterAccountPwdForm.h"
#include "Messages.h"
#include "PasswordHash.h"
#include "ProgramDir.h"
#include "Query.h"
#include "SetAccountPasswordForm.h"
#include "Tdm.h"

#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QValidator>

#include <memory>

namespace {

TfrmOpenOrNewAccountForm::ModalRunner &modalRunner()
{
    static TfrmOpenOrNewAccountForm::ModalRunner runner;
    return runner;
}

int runModal(QDialog *dialog)
{
    if (modalRunner())
        return modalRunner()(dialog);
    return dialog->exec();
}

// Drops every character the name of a book may not hold, typed or pasted.
class AccountNameValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        QString kept;
        int keptPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            if (!TfrmOpenOrNewAccountForm::edtNewKeyPress(input.at(i)))
                continue;
            kept += input.at(i);
            if (i < pos)
                ++keptPos;
        }
        input = kept;
        pos = keptPos;
        return Acceptable;
    }
};

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace

void TfrmOpenOrNewAccountForm::SetModalRunner(ModalRunner runner)
{
    modalRunner() = std::move(runner);
}

TfrmOpenOrNewAccountForm::TfrmOpenOrNewAccountForm(QWidget *parent)
    : TTBas(parent),
      m_ui(std::make_unique<Ui::frmOpenOrNewAccountForm>()),
      m_adc(new Connection(this)),
      m_aqData(new Query(m_adc, this)),
      m_aqCmd(new Query(m_adc, this))
{
    m_adc->setObjectName(QStringLiteral("adc"));
    m_aqData->setObjectName(QStringLiteral("aq_Data"));
    m_aqCmd->setObjectName(QStringLiteral("aq_cmd"));
    m_ui->setupUi(this);
    setFixedSize(size());

    setBackground(this, QColor(240, 248, 255));
    setBackground(m_ui->Panel1, QColor(200, 225, 250));
    setBackground(m_ui->Panel2, QColor(200, 225, 250));
    setBackground(m_ui->Image1, QColor(170, 205, 240));
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(64, 64));
    QFont big = m_ui->Label1->font();
    big.setPixelSize(20);
    m_ui->Label1->setFont(big);

    m_ui->grdData->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_ui->edtNew->setValidator(new AccountNameValidator(m_ui->edtNew));

    connect(m_ui->btnOk, &QPushButton::clicked, this, &TfrmOpenOrNewAccountForm::btnOkClick);
    connect(m_ui->Button2, &QPushButton::clicked, this, &TfrmOpenOrNewAccountForm::Button2Click);
    connect(m_ui->Button3, &QPushButton::clicked, this, &TfrmOpenOrNewAccountForm::Button3Click);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TfrmOpenOrNewAccountForm::Button1Click);
    connect(m_ui->grdData, &QTableWidget::cellDoubleClicked, this, &TfrmOpenOrNewAccountForm::grdDataDblClick);
    connect(m_ui->grdData, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && m_aqData->Active())
            m_aqData->setRow(row);
    });
}

TfrmOpenOrNewAccountForm::~TfrmOpenOrNewAccountForm() = default;

bool TfrmOpenOrNewAccountForm::edtNewKeyPress(QChar key)
{
    return key.unicode() == 8 || key.unicode() == 13 || IsAccountNameChar(key);
}

void TfrmOpenOrNewAccountForm::FormShow()
{
    TTBas::FormShow();
    try {
        OpenRegistry(m_adc);
    } catch (const DbError &e) {
        // The program goes on with an empty list; Open then asks for a book first.
        ShowMessageBox(nullptr, QStringLiteral("Message:\r\r") + e.text(), 1);
        m_aqData->Close();
        fillGrid();
        return;
    }
    ListAccounts();
}

void TfrmOpenOrNewAccountForm::ListAccounts()
{
    try {
        m_aqData->Close();
        m_aqData->setSql(ListAccountsSql());
        m_aqData->Open();
    } catch (const DbError &e) {
        m_aqData->Close();
        ShowMessageBox(nullptr, QStringLiteral("Message:\r\r") + e.text(), 1);
    }
    fillGrid();
}

void TfrmOpenOrNewAccountForm::fillGrid()
{
    QTableWidget *grid = m_ui->grdData;
    const QSignalBlocker block(grid);
    grid->clear();
    const int columns = m_aqData->Active() ? m_aqData->fieldCount() : 0;
    const int rows = m_aqData->Active() ? m_aqData->RecordCount() : 0;
    grid->setColumnCount(columns);
    grid->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            grid->setItem(r, c, new QTableWidgetItem(m_aqData->value(r, c).toString()));
    // Only the second column, the book's name, is shown.
    for (int c = 0; c < columns; ++c)
        grid->setColumnHidden(c, c != 1);
    if (rows > 0)
        selectRow(0);
}

void TfrmOpenOrNewAccountForm::selectRow(int row)
{
    m_aqData->setRow(row);
    const QSignalBlocker block(m_ui->grdData);
    m_ui->grdData->setCurrentCell(row, 1);
    m_ui->grdData->selectRow(row);
}

void TfrmOpenOrNewAccountForm::btnOkClick()
{
    if (!m_aqData->Active() || m_aqData->IsEmpty()) {
        ShowMessageBox(this, QStringLiteral("Create  Account First!"), 1);
        return;
    }
    const QString accountId = m_aqData->text(QStringLiteral("AccountID"));
    const QString accountName = m_aqData->text(QStringLiteral("AccountName"));
    const QString fileName = accountName + m_aqData->text(QStringLiteral("LastName"));
    const QString storedPassword = m_aqData->text(QStringLiteral("PWD"));

    const QString previousPassword = CurrentAccountPassword;
    if (!storedPassword.isEmpty()) {
        // The prompt sets CurrentAccountPassword when the entry is right.
        const std::unique_ptr<TfrmEnterAccountPwdForm> prompt(new TfrmEnterAccountPwdForm(this));
        prompt->ExpectedPassword = storedPassword;
        if (runModal(prompt.get()) != QDialog::Accepted)
            return;
    } else {
        CurrentAccountPassword.clear();
    }

    if (!OpenSession(fileName)) {
        // The application is ending; the record stays as it was.
        CurrentAccountPassword = previousPassword;
        reject();
        return;
    }
    CurrentAccountName = accountName;
    CurrentAccountID = accountId;
    CurrentAccountFile = fileName;
    CurrentAccountPath = ProgramDir() + QStringLiteral("db/") + fileName;
    accept();
}

void TfrmOpenOrNewAccountForm::grdDataDblClick()
{
    m_ui->btnOk->click();
}

void TfrmOpenOrNewAccountForm::Button2Click()
{
    reject();
}

void TfrmOpenOrNewAccountForm::Button3Click()
{
    const QString name = m_ui->edtNew->text();
    if (name.isEmpty()) {
        ShowMessageBox(this, QStringLiteral("please Enter name!"), 1);
        m_ui->edtNew->setFocus();
        m_ui->edtNew->selectAll();
        return;
    }
    std::unique_ptr<TfrmSetAccountPasswordForm> setPassword(new TfrmSetAccountPasswordForm(this));
    if (runModal(setPassword.get()) != QDialog::Accepted)
        return;

    QString message;
    switch (CreateBookFile(name, &message)) {
    case BookFileResult::Done:
        break;
    case BookFileResult::Failed:
        ShowMessageBox(this, message, 1);
        return;
    default:
        // The name is taken (in any letter case): nothing changes.
        return;
    }
    const QString password = setPassword->ChosenPassword;
    setPassword.reset();

    const QString created = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    try {
        m_aqCmd->setSql(InsertAccountSql(name, created, BookSuffix(), HashPassword(password)));
        m_aqCmd->ExecSql();
    } catch (const DbError &e) {
        // No book file without its registry row.
        QFile::remove(DbFolder() + name + BookSuffix());
        ShowMessageBox(this, QStringLiteral("The account was not created.\r\r") + e.text(), 1);
        return;
    }
    ListAccounts();
    if (m_aqData->Active() && !m_aqData->IsEmpty())
        selectRow(m_aqData->RecordCount() - 1);
    ShowMessageBox(this, QStringLiteral("Account Create Successfull!"), 1);
}

void TfrmOpenOrNewAccountForm::Button1Click()
{
    if (!m_aqData->Active() || m_aqData->IsEmpty())
        return;
    if (!ShowMessageBox(this, QStringLiteral("Are you sure you want to delete this Account?"), 2))
        return;
    const QString accountId = m_aqData->text(QStringLiteral("AccountID"));
    QString message;
    switch (DeleteBookFile(m_aqData->text(QStringLiteral("AccountName")), &message)) {
    case BookFileResult::Done:
    case BookFileResult::Missing:
        // A row whose file is gone is removed too, so that it cannot be opened.
        break;
    case BookFileResult::Failed:
        ShowMessageBox(this, message, 1);
        return;
    default:
        // The open book (or a file the program needs) stays.
        return;
    }
    try {
        m_aqCmd->setSql(DeleteAccountSql(accountId));
        m_aqCmd->ExecSql();
    } catch (const DbError &e) {
        ShowMessageBox(this, QStringLiteral("Message:\r\r") + e.text(), 1);
    }
    ListAccounts();
}
