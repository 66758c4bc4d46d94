#pragma once

#include "QueryForm.h"

#include <memory>

namespace Ui {
class frmPaymentQueryForm;
}

class QComboBox;
class QLineEdit;

// Narrows the definitions list by description, type and frequency; hands the
// clauses back in WhereText and runs no query of its own besides the frequencies.
class TfrmPaymentQueryForm : public TQueryForm
{
    Q_OBJECT
public:
    explicit TfrmPaymentQueryForm(QWidget *parent = nullptr);
    ~TfrmPaymentQueryForm() override;

    void FormShow() override;
    void btnOkClick();

    QLineEdit *edtDescription() const;
    QComboBox *cboType() const;
    QComboBox *cboFrequency() const;

private:
    std::unique_ptr<Ui::frmPaymentQueryForm> m_ui;
};
