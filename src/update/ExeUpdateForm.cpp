#include "ExeUpdateForm.h"
#include "ui_ExeUpdateForm.h"

#include "IniFile.h"
#include "Messages.h"
#include "ProgramDir.h"
#include "Public.h"
#include "UpdateCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QShowEvent>

namespace {

TfrmExeUpdateForm::StartProgramHook &startProgramHook()
{
    static TfrmExeUpdateForm::StartProgramHook hook;
    return hook;
}

TfrmExeUpdateForm::ExitHook &exitHook()
{
    static TfrmExeUpdateForm::ExitHook hook;
    return hook;
}

bool startProgram(const QString &program)
{
    if (startProgramHook())
        return startProgramHook()(program);
    return QProcess::startDetached(program, {});
}

void exitProgram(int code)
{
    if (exitHook())
        exitHook()(code);
    else
        QCoreApplication::exit(code);
}

}

void TfrmExeUpdateForm::SetStartProgramHook(StartProgramHook hook)
{
    startProgramHook() = std::move(hook);
}

void TfrmExeUpdateForm::SetExitHook(ExitHook hook)
{
    exitHook() = std::move(hook);
}

TfrmExeUpdateForm::TfrmExeUpdateForm(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmExeUpdateForm>())
{
    m_ui->setupUi(this);
    setFixedSize(QSize(546, 210).expandedTo(minimumSizeHint()));

    connect(m_ui->Button1, &QPushButton::clicked, this, &TfrmExeUpdateForm::Button1Click);
    connect(m_ui->Button2, &QPushButton::clicked, this, &TfrmExeUpdateForm::Button2Click);
    connect(m_ui->Button3, &QPushButton::clicked, this, &TfrmExeUpdateForm::Button3Click);
}

TfrmExeUpdateForm::~TfrmExeUpdateForm() = default;

QString TfrmExeUpdateForm::settingsFileName()
{
    return ProgramDir() + QStringLiteral("ini/app.ini");
}

void TfrmExeUpdateForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmExeUpdateForm::FormShow()
{
    m_ui->edtIP->setText(IniFile(settingsFileName())
                            .ReadString(QStringLiteral("AppName"), QStringLiteral("UpdateIP"), QString()));
}

void TfrmExeUpdateForm::Button3Click()
{
    IniFile ini(settingsFileName());
    if (!ini.WriteString(QStringLiteral("AppName"), QStringLiteral("UpdateIP"), m_ui->edtIP->text())) {
        ShowMessageBox(this, QStringLiteral("Cannot save the setting to ") + QDir::toNativeSeparators(ini.fileName()), 1);
        return;
    }
    ShowMessageBox(this, QStringLiteral("保存成功!"), 1);
}

void TfrmExeUpdateForm::Button1Click()
{
    if (m_check)
        return;

    const QPointer<TfrmExeUpdateForm> self(this);
    UpdateCheck check;
    m_check = &check;
    m_ui->Button1->setEnabled(false);
    SetWaitCursor();
    const bool newer = check.run();
    SetArrowCursor();
    if (!self)
        return;
    m_check = nullptr;
    m_ui->Button1->setEnabled(true);
    if (check.wasCancelled())
        return;

    if (!newer) {
        ShowMessageBox(this, QStringLiteral("Have the latest version, no update!"), 1);
        return;
    }

    // Ending Tellmont without a running updater would leave the user with neither.
    const QString program = ProgramDir() + QStringLiteral("refreshor");
    if (!startProgram(program)) {
        ShowMessageBox(this, QStringLiteral("Cannot start the updater ") + QDir::toNativeSeparators(program), 1);
        return;
    }
    done(QDialog::Rejected);
    exitProgram(0);
}

void TfrmExeUpdateForm::Button2Click()
{
    reject();
}

void TfrmExeUpdateForm::reject()
{
    // Closing while the server is asked stops the download; the check then ends quietly.
    if (m_check)
        m_check->cancel();
    QDialog::reject();
}

bool TfrmExeUpdateForm::isChecking() const
{
    return !m_check.isNull();
}
