#pragma once

#include "WinStyleForm.h"

#include <memory>

namespace Ui {
class frmGroupQueryForm;
}

class QLineEdit;

// Search dialog of the group list: a name pattern handed back in WhereText.
class TfrmGroupQueryForm : public TfrmWinStyleForm
{
    Q_OBJECT
public:
    explicit TfrmGroupQueryForm(QWidget *parent = nullptr);
    ~TfrmGroupQueryForm() override;

    // Empty until OK(&Ent); empty again when the name was left empty.
    QString WhereText;

    void btnOkClick();

    QLineEdit *edtGroupName() const;

private:
    std::unique_ptr<Ui::frmGroupQueryForm> m_ui;
};
