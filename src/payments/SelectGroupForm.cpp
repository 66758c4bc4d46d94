#include "SelectGroupForm.h"
#include "ui_SelectGroupForm.h"

#include "FilterText.h"
#include "Query.h"
#include "Tdm.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

TfrmSelectGroupForm::TfrmSelectGroupForm(QWidget *parent)
    : TTBas(parent), m_ui(std::make_unique<Ui::frmSelectGroupForm>())
{
    m_ui->setupUi(this);
    m_ui->pelTop->setAutoFillBackground(true);
    QPalette white = m_ui->pelTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_ui->pelTop->setPalette(white);

    QTreeWidget *tree = m_ui->tlGroup;
    tree->setColumnHidden(ColGroupId, true);
    tree->header()->setSectionResizeMode(ColSelect, QHeaderView::Fixed);
    tree->setColumnWidth(ColSelect, 60);
    tree->header()->setStretchLastSection(true);

    connect(m_ui->chkSelectAll, &QCheckBox::toggled, this, &TfrmSelectGroupForm::chkSelectAllClick);
    connect(m_ui->btnOk, &QPushButton::clicked, this, &TfrmSelectGroupForm::btnOkClick);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &TfrmSelectGroupForm::btnCloseClick);
}

TfrmSelectGroupForm::~TfrmSelectGroupForm() = default;

QTreeWidget *TfrmSelectGroupForm::tlGroup() const
{
    return m_ui->tlGroup;
}

QCheckBox *TfrmSelectGroupForm::chkSelectAll() const
{
    return m_ui->chkSelectAll;
}

void TfrmSelectGroupForm::FormShow()
{
    TTBas::FormShow();
    if (m_loaded)
        return;
    m_loaded = true;
    QTreeWidget *tree = m_ui->tlGroup;
    tree->clear();
    Query groups(dm->adc);
    dm->RunSql(&groups, u"select GroupID,GroupName from xt_tc_Group where 1=1 "_s, 1);
    for (int r = 0; r < groups.RecordCount(); ++r) {
        auto *node = new QTreeWidgetItem(tree);
        node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        node->setCheckState(ColSelect, Qt::Unchecked);
        node->setText(ColGroupId, groups.value(r, 0).toString());
        node->setText(ColGroupName, groups.value(r, 1).toString());
        node->setSizeHint(ColGroupName, QSize(0, 24));
    }
}

void TfrmSelectGroupForm::chkSelectAllClick(bool checked)
{
    QTreeWidget *tree = m_ui->tlGroup;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        tree->topLevelItem(i)->setCheckState(ColSelect, checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmSelectGroupForm::btnOkClick()
{
    QList<GroupChoice> choices;
    QTreeWidget *tree = m_ui->tlGroup;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *node = tree->topLevelItem(i);
        choices << GroupChoice{node->checkState(ColSelect) == Qt::Checked, node->text(ColGroupId),
                               node->text(ColGroupName)};
    }
    const GroupLists lists = SelectedGroupLists(choices);
    GroupIds = lists.ids;
    GroupNames = lists.names;
    accept();
}

void TfrmSelectGroupForm::btnCloseClick()
{
    reject();
}
