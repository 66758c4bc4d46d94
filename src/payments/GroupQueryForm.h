#pragma once

#include "QueryForm.h"

#include <memory>

namespace Ui {
class frmGroupQueryForm;
}

class QLineEdit;

// Search dialog of the group list: a name pattern handed back in WhereText.
class TfrmGroupQueryForm : public TQueryForm
{
    Q_OBJECT
public:
    explicit TfrmGroupQueryForm(QWidget *parent = nullptr);
    ~TfrmGroupQueryForm() override;

    void btnOkClick();

    QLineEdit *edtGroupName() const;

private:
    std::unique_ptr<Ui::frmGroupQueryForm> m_ui;
};
