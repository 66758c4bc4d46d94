#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class frmColumnSettingForm;
}

class QListWidget;

// The column chooser: lists the fields of ViewName, ticked as the layout
// ViewName + OwnerName in ini/Customer.ini says, and saves the ticked ones.
class TfrmColumnSettingForm : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmColumnSettingForm(QWidget *parent = nullptr);
    ~TfrmColumnSettingForm() override;

    QString ViewName;
    QString OwnerName;

    QListWidget *chklst() const;

    // Fills the list from the view's fields and ticks the stored choice;
    // throws DbError when the view cannot be read.
    void FormShow();
    void RzBitBtn5Click();
    void RzBitBtn2Click();
    void RzBitBtn3Click();
    void RzBitBtn4Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::frmColumnSettingForm> m_ui;
};
