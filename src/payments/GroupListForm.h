#pragma once

#include "ListWindow.h"

#include <memory>

namespace Ui {
class frmgroupListForm;
}

class DataGrid;
class Query;

// The group list, an MDI child of the main window (module code "0102" in its
// Hint): groups in a grid with a saved layout, new/edit through the group
// editor, a delete that keeps groups items still use, and a name search.
class TfrmgroupListForm : public TListWindow
{
    Q_OBJECT
public:
    TfrmgroupListForm(QWidget *owner, const QString &mode);
    ~TfrmgroupListForm() override;

    void LoadList() override;
    void SBAddClick();
    void SBEditClick() override;
    void RzToolButton2Click();
    void SBPrintClick();
    void aq_DataAfterScroll();

    DataGrid *grdData() const;
    Query *aq_Data() const { return m_aqData; }
    // The first panel of the status bar.
    QString StatusText() const;

private:
    std::unique_ptr<Ui::frmgroupListForm> m_ui;
    Query *m_aqData;
};
