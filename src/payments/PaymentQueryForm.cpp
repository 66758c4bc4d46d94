#include "PaymentQueryForm.h"
#include "ui_PaymentQueryForm.h"

#include "FilterText.h"
#include "Query.h"
#include "Tdm.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TfrmPaymentQueryForm::TfrmPaymentQueryForm(QWidget *parent)
    : TQueryForm(parent, u"Find Item"_s), m_ui(std::make_unique<Ui::frmPaymentQueryForm>())
{
    m_ui->setupUi(Panel2());
    setObjectName(u"frmPaymentQueryForm"_s);
    // "All" is shown while no entry is chosen.
    m_ui->cboType->setPlaceholderText(u"All"_s);
    m_ui->cboType->setCurrentIndex(-1);
    setTabOrder(m_ui->cboFrequency, btnOk());
    setTabOrder(btnOk(), btnCancel());
    connect(btnOk(), &QPushButton::clicked, this, &TfrmPaymentQueryForm::btnOkClick);
}

TfrmPaymentQueryForm::~TfrmPaymentQueryForm() = default;

QLineEdit *TfrmPaymentQueryForm::edtDescription() const
{
    return m_ui->edtDescription;
}

QComboBox *TfrmPaymentQueryForm::cboType() const
{
    return m_ui->cboType;
}

QComboBox *TfrmPaymentQueryForm::cboFrequency() const
{
    return m_ui->cboFrequency;
}

void TfrmPaymentQueryForm::FormShow()
{
    TfrmWinStyleForm::FormShow();
    QComboBox *list = m_ui->cboFrequency;
    list->clear();
    list->addItem(u"All"_s);
    Query due(dm->adc);
    dm->RunSql(&due, u"select * from xt_tc_Due"_s, 1);
    for (int r = 0; r < due.RecordCount(); ++r) {
        due.setRow(r);
        list->addItem(due.text(u"FrequencyID"_s) + u':' + due.text(u"Frequency"_s));
    }
    list->setCurrentIndex(0);
}

void TfrmPaymentQueryForm::btnOkClick()
{
    QComboBox *list = m_ui->cboFrequency;
    // A typed text counts as chosen only when it is one of the entries.
    const int frequencyIndex = list->findText(list->currentText(), Qt::MatchExactly);
    WhereText = ItemQueryWhereText(m_ui->edtDescription->text(), m_ui->cboType->currentIndex(), frequencyIndex,
                                   list->currentText());
    accept();
}
