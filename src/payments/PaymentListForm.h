#pragma once

#include "DueSchedule.h"
#include "ListWindow.h"

#include <functional>
#include <memory>

namespace Ui {
class frmPaymentListForm;
}

class DataGrid;
class QDateEdit;
class QLineEdit;
class Query;

// The income and expense window, an MDI child of the main window (module code
// "0201" in its Hint). The first tab lists the items with new/edit/delete/search
// and a saved grid layout; the second shows the due list of a period with
// totals, Ignore marks, a group filter, printing and an .xls export.
class TfrmPaymentListForm : public TListWindow
{
    Q_OBJECT
public:
    // Asks for the name of the export file; empty when cancelled.
    using SaveFileChooser = std::function<QString(QWidget *parent, const QString &filter)>;

    TfrmPaymentListForm(QWidget *owner, const QString &mode);
    ~TfrmPaymentListForm() override;

    // An item was added, edited or deleted since the due list was last computed.
    bool ItemsChanged = false;

    void SetSaveFileChooser(SaveFileChooser chooser);

    void LoadList() override;
    void SBAddClick();
    void SBEditClick() override;
    void RzToolButton2Click();
    void SBPrintClick();
    void aq_DataAfterScroll();
    void pgListChange(int index);

    void btnYearPriorClick();
    void btnMonthPriorClick();
    void btnThisMonthClick();
    void btnMonthNextClick();
    void btnYearNextClick();
    void dtpBeginChange();
    void dtpEndChange();
    void grdDueDblClick(int row);
    void btnEditItemClick();
    void btnFilterGroupClick();
    void btnPrintClick();
    void btnExportClick();

    // Recomputes the due list for the period and group filter and shows it.
    void RefreshDueList();
    // Writes the due grid's visible columns and every row as an Excel workbook;
    // a failure is reported to the user and gives false.
    bool ExportDueList(const QString &fileName);

    const DueList &dueList() const { return m_due; }
    bool DueListComputed() const { return m_dueComputed; }
    // The due rows in the order the grid shows them.
    QList<DueRow> DisplayedDueRows() const;
    // The period as the report receives it: from-date " to " to-date, short format.
    QString PeriodText() const;

    DataGrid *grdData() const;
    DataGrid *grdDue() const;
    Query *aq_Data() const { return m_aqData; }
    Query *aq_Due() const { return m_aqDue; }
    QDateEdit *dtpBegin() const;
    QDateEdit *dtpEnd() const;
    QLineEdit *edtIncome() const;
    QLineEdit *edtExpense() const;
    QLineEdit *edtEndingBalance() const;
    // The first panel of sBar, and panel 0 to 2 of sDueBar.
    QString StatusText() const;
    QString DueStatusText(int panel) const;

Q_SIGNALS:
    // After every computation of the due list that reached the grid.
    void DueListRefreshed();

private:
    void setupDueGrid();
    void colourDataCell(int row, int column, QColor &background, QColor &text) const;
    void colourDueCell(int row, int column, QColor &background, QColor &text) const;
    // Runs a change of the period or filter followed by a computation; when it
    // fails, the period and filter go back to what the grid shows.
    void recompute(const std::function<void()> &change);
    void showDueList();
    void showPeriod();
    void showTotals();
    int dueIndexOf(int gridRow) const;
    void setHeader(const QString &topic, const QString &describ);

    std::unique_ptr<Ui::frmPaymentListForm> m_ui;
    Query *m_aqData;
    Query *m_aqDue;
    DueList m_due;
    bool m_dueComputed = false;
    SaveFileChooser m_saveFileChooser;
};
