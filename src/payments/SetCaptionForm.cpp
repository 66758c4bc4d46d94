#include "SetCaptionForm.h"
#include "ui_SetCaptionForm.h"

#include "IniFile.h"
#include "Messages.h"
#include "ProgramDir.h"
#include "TellmontApplication.h"

#include <QDir>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::Literals::StringLiterals;

namespace {

QString settingsFileName()
{
    return ProgramDir() + u"ini/app.ini"_s;
}

} // namespace

TfrmSetCaptionForm::TfrmSetCaptionForm(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmSetCaptionForm>())
{
    m_ui->setupUi(this);
    setFixedSize(size());
    connect(m_ui->btnSave, &QPushButton::clicked, this, &TfrmSetCaptionForm::btnSaveClick);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &TfrmSetCaptionForm::btnCloseClick);
}

TfrmSetCaptionForm::~TfrmSetCaptionForm() = default;

void TfrmSetCaptionForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmSetCaptionForm::FormShow()
{
    m_ui->edtCaption->setText(
        IniFile(settingsFileName()).ReadString(u"Appname"_s, u"ReportTitle"_s, u"Due List"_s));
}

void TfrmSetCaptionForm::btnSaveClick()
{
    IniFile ini(settingsFileName());
    // A failed write must not be reported as saved; the dialog stays open.
    if (!ini.WriteString(u"Appname"_s, u"ReportTitle"_s, m_ui->edtCaption->text())) {
        ShowErrorText(u"Cannot save the setting to "_s + QDir::toNativeSeparators(ini.fileName()));
        return;
    }
    ShowMessageBox(this, u"Operation is successful"_s, 1);
    accept();
}

void TfrmSetCaptionForm::btnCloseClick()
{
    reject();
}
