#include "GroupEditForm.h"
#include "ui_GroupEditForm.h"

#include "Messages.h"
#include "Public.h"
#include "Query.h"
#include "Tdm.h"

#include <QAction>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {
void setBand(QWidget *w, const QColor &colour)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}
}

TfrmGroupEditForm::TfrmGroupEditForm(QWidget *parent)
    : TTBas(parent), m_ui(std::make_unique<Ui::frmGroupEditForm>()), m_aqData(new Query(dm ? dm->adc : nullptr, this))
{
    m_ui->setupUi(this);
    m_aqData->setObjectName(u"aq_Data"_s);
    setBand(m_ui->pelTop, QColor(0xA5, 0xBD, 0xEF));
    setBand(m_ui->pelMain, QColor(0xEF, 0xF7, 0xFF));
    setBand(m_ui->pelBottom, QColor(0xA5, 0xBD, 0xEF));

    m_action1 = new QAction(u"Save(Ctrl+S)"_s, this);
    m_action1->setObjectName(u"Action1"_s);
    m_action1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_action2 = new QAction(u"Close(Esc)"_s, this);
    m_action2->setObjectName(u"Action2"_s);
    m_action2->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(m_action1);
    addAction(m_action2);
    connect(m_action1, &QAction::triggered, this, &TfrmGroupEditForm::Action1Execute);
    connect(m_action2, &QAction::triggered, this, &TfrmGroupEditForm::Action2Execute);
    connect(m_ui->Button1, &QPushButton::clicked, m_action1, &QAction::trigger);
    connect(m_ui->Button2, &QPushButton::clicked, m_action2, &QAction::trigger);
}

TfrmGroupEditForm::~TfrmGroupEditForm() = default;

QLineEdit *TfrmGroupEditForm::edtGroupName() const
{
    return m_ui->edtGroupName;
}

void TfrmGroupEditForm::FormShow()
{
    TTBas::FormShow();
    // A window shown again (restored) keeps its pending row and typed text.
    if (m_opened)
        return;
    m_opened = true;
    if (Mode == 1) {
        dm->RunSql(m_aqData, u"select * from xt_tc_group where 1=2 "_s, 1);
        m_aqData->Append();
        m_ui->edtGroupName->clear();
    } else {
        dm->RunSql(m_aqData, u"select * from xt_tc_group where groupID="_s + KeyValue, 1);
        m_aqData->Edit();
        m_ui->edtGroupName->setText(m_aqData->text(u"GroupName"_s));
    }
    ApplyInputMethod(m_ui->pelMain);
    m_ui->edtGroupName->setFocus();
}

void TfrmGroupEditForm::Action1Execute()
{
    const QString name = m_ui->edtGroupName->text();
    // A name of blanks only would be an empty group name in the lists.
    if (name.trimmed().isEmpty()) {
        ShowPlainMessage(this, u"Please enter group name!"_s, u"Message"_s, QMessageBox::Information);
        m_ui->edtGroupName->setFocus();
        return;
    }
    m_aqData->setValue(u"GroupName"_s, name);
    m_aqData->Post();
    accept();
}

void TfrmGroupEditForm::Action2Execute()
{
    if (ShowMessageBox(this, u"Do you wish to cancel the operation?"_s, 2))
        reject();
}

void TfrmGroupEditForm::reject()
{
    m_aqData->Cancel();
    TTBas::reject();
}
