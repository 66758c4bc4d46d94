#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmSetCaptionForm;
}

// Edits the title printed on the due-list report, kept in ini/app.ini.
class TfrmSetCaptionForm : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSetCaptionForm(QWidget *parent = nullptr);
    ~TfrmSetCaptionForm() override;

    void FormShow();
    void btnSaveClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::frmSetCaptionForm> m_ui;
};
