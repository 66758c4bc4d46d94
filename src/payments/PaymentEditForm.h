#pragma once

#include "Money.h"
#include "TTBas.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QVariant>

#include <memory>

namespace Ui {
class frmPaymentEditForm;
}

class Query;

// Creates one income or expense item or changes one. Group and frequency are
// chosen in a floating picker panel (pelSelect) inside the dialog, never typed.
// Ends with OK once the row is posted, with Cancel otherwise.
class TfrmPaymentEditForm : public TTBas
{
    Q_OBJECT
public:
    explicit TfrmPaymentEditForm(QWidget *parent = nullptr);
    ~TfrmPaymentEditForm() override;

    // Set by the caller before showing: 1 for a new item, 0 to edit the item
    // whose IncID is KeyValue.
    int Mode = 1;
    QString KeyValue;

    // Validates, writes and posts the row, then closes with OK (Ctrl+S).
    void btnSaveClick();
    // Asks before discarding the row and closing with Cancel (Esc).
    void btnCloseClick();
    void chkEndClick();
    // The picker buttons; mouse is the pointer in the editor's client coordinates.
    void btnSelectGroupClick(const QPoint &mouse);
    void SpeedButton2Click(const QPoint &mouse);
    void btnSearchClick();
    void btnCustomClick();
    // Takes the group or frequency of a grid row; -1 means the current row.
    void grdSelectDblClick(int row);
    void imgCloseClick();

    // The list the picker shows (xt_tc_group or xt_tc_due) and its name filter.
    QString SelectTable() const { return m_selectTable; }
    QString SelectFilter() const { return m_selectFilter; }
    QVariant GroupID() const { return m_groupId; }
    QVariant FrequencyID() const { return m_frequencyId; }
    Query *aqPayment() const { return m_aqPayment; }
    Query *aqSelect() const { return m_aqSelect; }

protected:
    void FormShow() override;
    void FormKeyDown(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QList<QObject *> m_eventHooks;
    void openNew();
    void openEdit();
    void setTitle(const QString &title);
    // Validates in the fixed order; shows the first failure and returns false.
    bool validate();
    Money amount() const;
    // The amount box shows the row's Amount: in full while it is edited, else as "#.##".
    void showAmount(bool editing);
    void amountEdited(const QString &text);
    bool confirmCancel();
    void selectList(const QString &table);
    void loadSelect();
    void showPicker(const QPoint &topLeft);
    void dragPicker(QEvent *event);
    void movePicker(const QPoint &topLeft);
    bool isGroupList() const;

    std::unique_ptr<Ui::frmPaymentEditForm> m_ui;
    Query *m_aqPayment;
    Query *m_aqView;
    Query *m_aqSelect;
    QVariant m_groupId;
    QVariant m_frequencyId;
    QString m_selectTable;
    QString m_selectFilter;
    bool m_loaded = false;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_dragOrigin;
};
