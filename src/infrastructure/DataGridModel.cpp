#include "DataGridModel.h"

#include "DataGrid.h"
#include "DisplayFormat.h"
#include "Money.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QStyle>

#include <limits>

namespace {

const QString &amountPattern()
{
    static const QString pattern = QStringLiteral("#,##0.00");
    return pattern;
}

bool isShortDate(const QString &format)
{
    return format.compare(QLatin1String("short date"), Qt::CaseInsensitive) == 0;
}

Money toMoney(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return Money::fromUnits(value.toLongLong() * Money::Scale);
    return Money::fromDouble(value.toDouble());
}

} // namespace

DataGridModel::DataGridModel(DataGrid *grid)
    : QAbstractTableModel(grid), m_grid(grid)
{
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    const Query *q = m_grid->dataSet();
    return q && q->Active() ? q->RecordCount() : 0;
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid->columnCount();
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_grid->cellText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const Query *q = m_grid->dataSet();
        const int f = m_grid->fieldOfColumn(index.column());
        const bool numeric = q && f >= 0 && f < q->fieldCount() && q->field(f).isNumeric();
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid->columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const DataGridColumn &c = m_grid->column(section);
    switch (role) {
    case Qt::DisplayRole:
        return c.caption;
    case Qt::DecorationRole:
        if (c.sortOrder == GridSortOrder::Ascending)
            return QApplication::style()->standardIcon(QStyle::SP_ArrowUp);
        if (c.sortOrder == GridSortOrder::Descending)
            return QApplication::style()->standardIcon(QStyle::SP_ArrowDown);
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &index) const
{
    // Read-only: the grid never edits, adds or removes rows itself.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void DataGridModel::rowUpdated(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataGridModel::headerUpdated(int column)
{
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

QString DataGridModel::displayText(const QVariant &value, FieldType type, const QString &format,
                                   const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        return QString();
    const bool pattern = !format.isEmpty() && !isShortDate(format);
    switch (type) {
    case FieldType::Money:
        return FormatFloat(pattern ? format : amountPattern(), toMoney(value));
    case FieldType::Integer:
        if (!pattern)
            return QString::number(value.toLongLong());
        // Whole numbers stay exact as amounts unless they are beyond an amount's range.
        if (qAbs(value.toLongLong()) < std::numeric_limits<qint64>::max() / Money::Scale)
            return FormatFloat(format, toMoney(value));
        return FormatFloat(format, value.toDouble());
    case FieldType::Float:
        return FormatFloat(pattern ? format : QString(), value.toDouble());
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return locale.toString(value.toDate(), QLocale::ShortFormat);
        break;
    case FieldType::DateTime:
        if (value.typeId() == QMetaType::QDate)
            return locale.toString(value.toDate(), QLocale::ShortFormat);
        if (value.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            if (dt.time() == QTime(0, 0))
                return locale.toString(dt.date(), QLocale::ShortFormat);
            return locale.toString(dt, QLocale::ShortFormat);
        }
        break;
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<Money>())
        return FormatFloat(pattern ? format : amountPattern(), value.value<Money>());
    return value.toString();
}
