#pragma once

#include "TTBas.h"

#include <memory>

namespace Ui {
class frmGroupEditForm;
}

class QAction;
class QLineEdit;
class Query;

// Modal editor of one group: Mode 1 appends a new row, Mode 0 edits the row
// whose GroupID is KeyValue. Closes with OK only after the row is posted.
class TfrmGroupEditForm : public TTBas
{
    Q_OBJECT
public:
    explicit TfrmGroupEditForm(QWidget *parent = nullptr);
    ~TfrmGroupEditForm() override;

    int Mode = 1;
    QString KeyValue;

    void FormShow() override;
    // Save (Ctrl+S).
    void Action1Execute();
    // Close (Esc): asks first.
    void Action2Execute();
    // Closing without saving discards the pending row.
    void reject() override;

    QLineEdit *edtGroupName() const;
    Query *aq_Data() const { return m_aqData; }

private:
    std::unique_ptr<Ui::frmGroupEditForm> m_ui;
    Query *m_aqData;
    QAction *m_action1;
    QAction *m_action2;
    bool m_opened = false;
};
