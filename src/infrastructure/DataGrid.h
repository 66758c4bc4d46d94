#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

class DataGridFooter;
class DataGridModel;
class Query;
class QTableView;

enum class GridSortOrder { None, Ascending, Descending };
enum class GridSummary { None, Sum };

// One column of a DataGrid, bound to a field of the data set by name.
struct DataGridColumn
{
    QString fieldName;
    QString caption;
    bool visible = true;
    int width = 100;
    // "#,###.##" and the like for numbers, "short date" for dates; empty: the default display.
    QString displayFormat;
    GridSummary summary = GridSummary::None;
    GridSortOrder sortOrder = GridSortOrder::None;
};

// The grid every list shows its rows in: a read-only table over a Query with
// columns made at run time, whole-row selection (one or several rows), a sort
// state per column for header-click sorting, a footer of sums and a hook for
// cell colours. The view's current row and the data set's current row follow
// each other.
class DataGrid : public QWidget
{
    Q_OBJECT
public:
    // The width of a new column, the same as the default of a stored width.
    static constexpr int DefaultColumnWidth = 100;
    // The colour that list windows give their selected rows.
    static QColor SelectedRowColour() { return QColor(255, 240, 210); }

    using CellStyleHook = std::function<void(int row, int column, QColor &background, QColor &text)>;

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataSet(Query *query);
    Query *dataSet() const;

    // With automatic columns, a data set that opens with other fields gets one
    // column per field at once. Off, columns change only through the calls below.
    void setAutoColumns(bool on) { m_autoColumns = on; }
    bool autoColumns() const { return m_autoColumns; }

    void clearColumns();
    // One column per field of the data set, in field order, captioned with the
    // field name; integer, float and money fields get a sum in the footer.
    void buildColumns();

    int columnCount() const { return int(m_columns.size()); }
    const DataGridColumn &column(int index) const { return m_columns.at(index); }
    // The column bound to exactly this field name (case-sensitive); -1 when none.
    int columnByField(const QString &fieldName) const;
    // The data set's field index a column shows; -1 when the data set lacks it.
    int fieldOfColumn(int column) const;

    void setColumnVisible(int column, bool visible);
    bool columnVisible(int column) const;
    // Hidden columns keep their width for when they are shown again.
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    void setColumnCaption(int column, const QString &caption);
    void setColumnFormat(int column, const QString &format);
    void setColumnSummary(int column, GridSummary summary);

    GridSortOrder sortState(int column) const;
    // A column that becomes sorted goes to the end of the sorted list; one
    // that stays sorted keeps its place.
    void setSortState(int column, GridSortOrder order);
    void clearSortStates();
    // Sorted columns in the order they were sorted.
    QList<int> sortedColumns() const { return m_sortedColumns; }

    void setMultiSelect(bool on);
    bool multiSelect() const { return m_multiSelect; }
    // Selected rows in selection order.
    QList<int> selectedRows() const;
    bool isRowSelected(int row) const;
    void selectRow(int row, bool add = false);
    void selectAll();
    void clearSelection();

    void setFooterVisible(bool visible);
    bool footerVisible() const { return m_footerVisible; }
    // The summary of a column as the footer shows it; empty for a column without one.
    QString footerText(int column) const;
    QVariant footerValue(int column) const;
    // Where the footer draws a column's cell: under the column as it is
    // scrolled and sized now. Empty for a hidden column.
    QRect footerCellRect(int column) const;

    // An invalid colour leaves selected rows to the palette's highlight.
    void setSelectionColour(const QColor &colour) { m_selectionColour = colour; update(); }
    QColor selectionColour() const { return m_selectionColour; }
    // Called for every painted cell after the selection colour has been applied;
    // invalid colours mean the palette's.
    void setCellStyleHook(CellStyleHook hook);
    void cellColours(int row, int column, QColor &background, QColor &text) const;
    QString cellText(int row, int column) const;

    QTableView *view() const { return m_view; }
    DataGridModel *model() const { return m_model; }

Q_SIGNALS:
    void ColumnClick(int column);
    // Once the user lets go of a header divider after changing a width.
    void ChangedColumnsWidth();
    // A double click in the rows area; -1 below the last row.
    void DblClick(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dataSetReset();
    void dataSetRowChanged(int row);
    void dataSetCurrentChanged(int row);
    void viewCurrentChanged(int row);
    void sectionResized(int logical, int oldSize, int newSize);
    void applyHeaderState();
    void resolveFields();
    bool fieldsMatchColumns() const;
    void makeColumns();
    void syncViewToDataSet();
    void invalidateSums();
    void computeSums() const;

    QTableView *m_view;
    DataGridModel *m_model;
    DataGridFooter *m_footer;
    QWidget *m_headerViewport;
    QWidget *m_rowsViewport;
    QPointer<Query> m_query;
    QList<DataGridColumn> m_columns;
    QList<int> m_fieldIndex;
    QList<int> m_sortedColumns;
    QColor m_selectionColour;
    CellStyleHook m_cellStyleHook;
    bool m_autoColumns = true;
    bool m_multiSelect = false;
    bool m_footerVisible = false;
    bool m_syncing = false;
    bool m_headerPressed = false;
    bool m_widthChanged = false;
    QString m_lastSort;
    int m_lastCount = -1;
    mutable bool m_sumsValid = false;
    mutable QList<QVariant> m_sums;
};
