#pragma once

#include "Query.h"

#include <QAbstractTableModel>
#include <QLocale>

class DataGrid;

// The table model behind DataGrid: rows are the data set's rows in display
// order, columns are the grid's columns. Cells are formatted on demand, so
// only the visible cells cost anything however many rows the data set holds.
class DataGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataGridModel(DataGrid *grid);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void rowUpdated(int row);
    void headerUpdated(int column);

    // A value as the grid shows it. Numbers take a pattern such as "#,###.##";
    // "short date" gives dates in the locale's short format. Without a pattern
    // amounts show two decimals with thousand separators.
    static QString displayText(const QVariant &value, FieldType type, const QString &format,
                               const QLocale &locale = QLocale());

private:
    DataGrid *m_grid;
};
