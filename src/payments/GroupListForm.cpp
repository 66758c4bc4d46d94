#include "GroupListForm.h"
#include "ui_GroupListForm.h"

#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "GridLayout.h"
#include "GroupEditForm.h"
#include "GroupQueryForm.h"
#include "Messages.h"
#include "Public.h"
#include "Query.h"
#include "Tdm.h"

#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

TfrmgroupListForm::TfrmgroupListForm(QWidget *owner, const QString &mode)
    : TListWindow(owner, mode, u"xt_tc_group"_s, u"xt_tc_group"_s, u"groupID"_s),
      m_ui(std::make_unique<Ui::frmgroupListForm>()),
      m_aqData(new Query(dm ? dm->adc : nullptr, this))
{
    m_ui->setupUi(this);
    setObjectName(u"frmgroupListForm"_s);
    m_aqData->setObjectName(u"aq_Data"_s);

    StyleListWindow(m_ui->Panel2, m_ui->Label3, m_ui->Image1, QStyle::SP_FileDialogListView,
                    {m_ui->SBAdd, m_ui->SBEdit, m_ui->RzToolButton2, m_ui->SBPrint, m_ui->BtnBullets, m_ui->SBHelp,
                     m_ui->RzToolButton3});

    auto *panel0 = new QLabel(m_ui->sBar);
    panel0->setObjectName(u"sBarPanel0"_s);
    panel0->setMinimumWidth(200);
    auto *panel1 = new QLabel(m_ui->sBar);
    panel1->setObjectName(u"sBarPanel1"_s);
    panel1->setMinimumWidth(50);
    m_ui->sBar->addWidget(panel0);
    m_ui->sBar->addWidget(panel1, 1);

    DataGrid *grid = m_ui->grdData;
    WireListGrid(grid, m_aqData, ViewName, objectName());
    SetListGrid(grid, m_aqData);
    grid->setMultiSelect(true);
    grid->setSelectionColour(DataGrid::SelectedRowColour());

    connect(m_ui->SBAdd, &QToolButton::clicked, this, &TfrmgroupListForm::SBAddClick);
    connect(m_ui->SBEdit, &QToolButton::clicked, this, &TfrmgroupListForm::SBEditClick);
    connect(m_ui->RzToolButton2, &QToolButton::clicked, this, &TfrmgroupListForm::RzToolButton2Click);
    connect(m_ui->SBPrint, &QToolButton::clicked, this, &TfrmgroupListForm::SBPrintClick);
    connect(m_ui->BtnBullets, &QToolButton::clicked, this, &TfrmgroupListForm::BtnBulletsClick);
    connect(m_ui->RzToolButton3, &QToolButton::clicked, this, &TfrmgroupListForm::SBExitClick);
    connect(grid, &DataGrid::DblClick, this, &TfrmgroupListForm::grdDataDblClick);
    connect(m_aqData, &Query::currentRowChanged, this, &TfrmgroupListForm::aq_DataAfterScroll);

    LoadList();
}

TfrmgroupListForm::~TfrmgroupListForm() = default;

DataGrid *TfrmgroupListForm::grdData() const
{
    return m_ui->grdData;
}

QString TfrmgroupListForm::StatusText() const
{
    const auto *panel0 = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s);
    return panel0 ? panel0->text() : QString();
}

void TfrmgroupListForm::LoadList()
{
    OpenGridQuery(objectName(), ViewName, m_aqData, m_ui->grdData, u"select * from "_s + ViewName, WhereText);
    // Replaces the text the scroll handler wrote while the query opened.
    if (auto *panel0 = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s))
        panel0->setText(u"Record count:"_s + QString::number(m_aqData->RecordCount()) + u'.');
}

void TfrmgroupListForm::aq_DataAfterScroll()
{
    if (auto *panel0 = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s))
        panel0->setText(u" Total "_s + QString::number(m_aqData->RecordCount()) + u" records,the current record"_s
                        + QString::number(m_aqData->RecNo()));
}

void TfrmgroupListForm::SBAddClick()
{
    NewRow([this] {
        auto editor = std::make_unique<TfrmGroupEditForm>(this);
        editor->Mode = 1;
        return editor;
    });
}

void TfrmgroupListForm::SBEditClick()
{
    EditRow([this](const QString &key) {
        auto editor = std::make_unique<TfrmGroupEditForm>(this);
        editor->Mode = 0;
        editor->KeyValue = key;
        return editor;
    });
}

void TfrmgroupListForm::RzToolButton2Click()
{
    if (!PermissionCheck(RightCode("03")))
        return;
    if (m_aqData->IsEmpty())
        return;
    DataGrid *grid = m_ui->grdData;
    const QList<int> rows = grid->selectedRows();
    if (rows.isEmpty()) {
        ShowPlainMessage(this, u"Select the record to be deleted"_s, u"message"_s, QMessageBox::Information);
        return;
    }
    if (ShowPlainMessage(this, u"do you want to delete the record?\r\r"_s, u"message"_s, QMessageBox::Information,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;

    DeleteSelectedRows(
        rows,
        [this](const QString &key) {
            Query inUse(dm->adc);
            dm->RunSql(&inUse, u"select 1 from xt_td_Payment where groupid="_s + key, 1);
            if (!inUse.IsEmpty()) {
                ShowPlainMessage(this, u"To remove the group is occupied!"_s, u"Message"_s, QMessageBox::Information);
                return;
            }
            DeleteRow(key);
        },
        [this] { LoadList(); });
}

void TfrmgroupListForm::SBPrintClick()
{
    SearchRows(std::make_unique<TfrmGroupQueryForm>(this));
}
