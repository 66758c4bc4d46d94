#pragma once

#include "WinStyleForm.h"

#include <memory>

namespace Ui {
class frmEditpwdForm;
}

class Connection;

// Changes the password of the open book in the registry.
class TfrmEditpwdForm : public TfrmWinStyleForm
{
    Q_OBJECT
public:
    explicit TfrmEditpwdForm(QWidget *parent = nullptr);
    ~TfrmEditpwdForm() override;

    void FormShow() override;
    void btnOkClick();

private:
    std::unique_ptr<Ui::frmEditpwdForm> m_ui;
    Connection *m_adc;
};
