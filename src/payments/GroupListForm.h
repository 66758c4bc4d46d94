#pragma once

#include "TTBas.h"

#include <functional>
#include <memory>

namespace Ui {
class frmgroupListForm;
}

class DataGrid;
class Query;

// The group list, an MDI child of the main window (module code "0102" in its
// Hint): groups in a grid with a saved layout, new/edit through the group
// editor, a delete that keeps groups items still use, and a name search.
class TfrmgroupListForm : public TTBas
{
    Q_OBJECT
public:
    // Shows the editor or the search dialog modally and gives its result.
    // Tests replace it to drive the dialog without a nested event loop.
    using DialogRunner = std::function<int(QDialog *)>;

    TfrmgroupListForm(QWidget *owner, const QString &mode);
    ~TfrmgroupListForm() override;

    const QString ViewName;
    const QString TableName;
    const QString KeyField;
    // Clauses of the last search, appended to the list query.
    QString WhereText;
    QString Mode;

    void SetDialogRunner(DialogRunner runner);

    void LoadList();
    void SBAddClick();
    void SBEditClick();
    void RzToolButton2Click();
    void SBPrintClick();
    void BtnBulletsClick();
    void SBExitClick();
    void grdDataDblClick(int row);
    void aq_DataAfterScroll();

    DataGrid *grdData() const;
    Query *aq_Data() const { return m_aqData; }
    // The first panel of the status bar.
    QString StatusText() const;

private:
    QString RightCode(const char *operation) const;
    int RunDialog(QDialog *dialog);

    std::unique_ptr<Ui::frmgroupListForm> m_ui;
    Query *m_aqData;
    DialogRunner m_runner;
};
