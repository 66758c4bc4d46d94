#include "GroupQueryForm.h"
#include "ui_GroupQueryForm.h"

#include "FilterText.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmGroupQueryForm::TfrmGroupQueryForm(QWidget *parent)
    : TQueryForm(parent, u"Search group"_s), m_ui(std::make_unique<Ui::frmGroupQueryForm>())
{
    m_ui->setupUi(Panel2());
    setObjectName(u"frmGroupQueryForm"_s);
    setTabOrder(m_ui->edtGroupName, btnOk());
    setTabOrder(btnOk(), btnCancel());
    connect(btnOk(), &QPushButton::clicked, this, &TfrmGroupQueryForm::btnOkClick);
}

TfrmGroupQueryForm::~TfrmGroupQueryForm() = default;

QLineEdit *TfrmGroupQueryForm::edtGroupName() const
{
    return m_ui->edtGroupName;
}

void TfrmGroupQueryForm::btnOkClick()
{
    WhereText = GroupQueryWhereText(m_ui->edtGroupName->text());
    accept();
}
