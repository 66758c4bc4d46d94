#include "DatabaseBackupForm.h"
#include "ui_DatabaseBackupForm.h"

#include "AccountRegistry.h"
#include "Connection.h"
#include "CurrentAccount.h"
#include "Messages.h"
#include "Tdm.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

namespace {

TfrmDatabaseBackupForm::FileChooser &fileChooser()
{
    static TfrmDatabaseBackupForm::FileChooser chooser;
    return chooser;
}

QString chooseFile(QWidget *parent)
{
    if (fileChooser())
        return fileChooser()(parent);
    return QFileDialog::getSaveFileName(parent, QString(), QString(), TfrmDatabaseBackupForm::FileFilter(), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

// The open book's file; the record spells the folder "DB", which only a
// case-insensitive file system finds as it is.
QString sourceFile()
{
    if (QFileInfo(CurrentAccountPath).isFile())
        return CurrentAccountPath;
    return FindDbFile(CurrentAccountFile);
}

} // namespace

void TfrmDatabaseBackupForm::SetFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

QString TfrmDatabaseBackupForm::FileFilter()
{
    return QStringLiteral("Veldoro File (*.tqx);;All file(*.*) (*)");
}

QString TfrmDatabaseBackupForm::BackupFileName(const QString &chosen)
{
    if (chosen.endsWith(QLatin1String(".tqx"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".tqx");
}

TfrmDatabaseBackupForm::TfrmDatabaseBackupForm(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmDatabaseBackupForm>())
{
    m_ui->setupUi(this);
    setFixedSize(size());
    QPalette white = m_ui->pelTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_ui->pelTop->setPalette(white);
    QFont title = m_ui->Label1->font();
    title.setPixelSize(16);
    m_ui->Label1->setFont(title);
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(40, 40));
    m_ui->edtPath->installEventFilter(this);
    connect(m_ui->btn1, &QPushButton::clicked, this, &TfrmDatabaseBackupForm::btn1Click);
    connect(m_ui->btnOK, &QPushButton::clicked, this, &TfrmDatabaseBackupForm::btnOKClick);
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &TfrmDatabaseBackupForm::btnCancelClick);
}

TfrmDatabaseBackupForm::~TfrmDatabaseBackupForm() = default;

bool TfrmDatabaseBackupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->edtPath && event->type() == QEvent::MouseButtonDblClick) {
        edtPathDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmDatabaseBackupForm::copyTo(const QString &target, QString *reason)
{
    if (!CopyBookFile(sourceFile(), target, reason))
        return false;
    m_copiedTo = target;
    return true;
}

void TfrmDatabaseBackupForm::reportFailure(const QString &target, const QString &reason)
{
    ShowMessageBox(this,
                   QStringLiteral("File backup failed!\r\rTarget: %1\rReason: %2").arg(QDir::toNativeSeparators(target), reason),
                   1);
}

void TfrmDatabaseBackupForm::btn1Click()
{
    const QString chosen = chooseFile(this);
    if (chosen.isEmpty())
        return;
    m_ui->edtPath->clear();
    m_ui->edtPath->setText(BackupFileName(chosen));
    QString reason;
    if (!copyTo(m_ui->edtPath->text(), &reason))
        reportFailure(m_ui->edtPath->text(), reason);
}

void TfrmDatabaseBackupForm::edtPathDblClick()
{
    m_ui->btn1->click();
}

void TfrmDatabaseBackupForm::btnOKClick()
{
    const QString target = m_ui->edtPath->text();
    if (target.isEmpty()) {
        ShowMessageBox(this, QStringLiteral("Please specify a file path!"), 1);
        m_ui->btn1->setFocus();
        return;
    }
    // The same connection is closed for the copy and opened again, so every
    // query bound to it keeps working afterwards.
    if (dm)
        dm->adc->Close();
    QString reason;
    const bool copied = (m_copiedTo == target && QFileInfo::exists(target)) || copyTo(target, &reason);
    const bool connected = dm ? dm->Connect(CurrentAccountFile) : OpenSession(CurrentAccountFile);
    if (!connected) {
        reject();
        return;
    }
    // The book is open again; the dialog stays for another target.
    if (!copied) {
        reportFailure(target, reason);
        return;
    }
    ShowMessageBox(this, QStringLiteral("File backup successful!"), 1);
    accept();
}

void TfrmDatabaseBackupForm::btnCancelClick()
{
    reject();
}
