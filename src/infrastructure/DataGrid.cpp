#include "DataGrid.h"

#include "DataGridModel.h"
#include "Money.h"
#include "Query.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

// The row of sums below the table. It draws one cell under each visible
// column at the column's on-screen position, so it follows resizing and
// horizontal scrolling of the table.
class DataGridFooter : public QWidget
{
public:
    explicit DataGridFooter(DataGrid *grid)
        : QWidget(grid), m_grid(grid)
    {
        setFixedHeight(fontMetrics().height() + 8);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        const QWidget *viewport = m_grid->view()->viewport();
        p.setClipRect(QRect(m_grid->view()->x() + viewport->x() - x(), 0, viewport->width(), height()));
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            const QRect cell = m_grid->footerCellRect(c);
            if (cell.isEmpty() || !cell.intersects(p.clipBoundingRect().toRect()))
                continue;
            if (m_grid->column(c).summary == GridSummary::None)
                continue;
            const QRect box = cell.adjusted(1, 2, -2, -3);
            p.setPen(palette().color(QPalette::Mid));
            p.drawRect(box);
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(box.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignRight, m_grid->footerText(c));
        }
    }

private:
    DataGrid *m_grid;
};

namespace {

// Paints each cell with the grid's colours: the selection colour first, then the hook.
class CellDelegate : public QStyledItemDelegate
{
public:
    explicit CellDelegate(DataGrid *grid)
        : QStyledItemDelegate(grid), m_grid(grid)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        QColor background;
        QColor text;
        m_grid->cellColours(index.row(), index.column(), background, text);
        if (background.isValid()) {
            option->backgroundBrush = background;
            // The style would paint its highlight over our background.
            option->state &= ~QStyle::State_Selected;
        }
        if (text.isValid()) {
            option->palette.setColor(QPalette::Text, text);
            option->palette.setColor(QPalette::HighlightedText, text);
        }
    }

private:
    DataGrid *m_grid;
};

} // namespace

DataGrid::DataGrid(QWidget *parent)
    : QWidget(parent)
{
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("view"));
    m_model = new DataGridModel(this);
    m_view->setModel(m_model);
    m_view->setItemDelegate(new CellDelegate(this));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(false);
    m_view->setWordWrap(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *vertical = m_view->verticalHeader();
    vertical->setSectionResizeMode(QHeaderView::Fixed);
    vertical->setDefaultSectionSize(fontMetrics().height() + 6);
    vertical->hide();

    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultSectionSize(DefaultColumnWidth);
    header->setSortIndicatorShown(false);
    m_headerViewport = header->viewport();
    m_rowsViewport = m_view->viewport();
    m_headerViewport->installEventFilter(this);
    m_rowsViewport->installEventFilter(this);

    m_footer = new DataGridFooter(this);
    m_footer->setObjectName(QStringLiteral("footer"));
    m_footer->setVisible(m_footerVisible);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);

    connect(header, &QHeaderView::sectionClicked, this, &DataGrid::ColumnClick);
    connect(header, &QHeaderView::sectionResized, this, &DataGrid::sectionResized);
    connect(header, &QHeaderView::geometriesChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { viewCurrentChanged(current.isValid() ? current.row() : -1); });
}

DataGrid::~DataGrid()
{
    // Tearing the view down must not move the data set, and the view and its
    // model ask the grid for columns while they go: both go while it is whole.
    disconnect(m_view->selectionModel(), nullptr, this, nullptr);
    m_headerViewport->removeEventFilter(this);
    m_rowsViewport->removeEventFilter(this);
    delete m_view;
    delete m_model;
}

void DataGrid::setDataSet(Query *query)
{
    if (m_query == query)
        return;
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    m_query = query;
    if (m_query) {
        connect(m_query, &Query::reset, this, &DataGrid::dataSetReset);
        connect(m_query, &Query::rowChanged, this, &DataGrid::dataSetRowChanged);
        connect(m_query, &Query::currentRowChanged, this, &DataGrid::dataSetCurrentChanged);
        connect(m_query, &QObject::destroyed, this, [this] { dataSetReset(); });
    }
    dataSetReset();
}

Query *DataGrid::dataSet() const
{
    return m_query;
}

void DataGrid::clearColumns()
{
    m_model->beginReset();
    m_columns.clear();
    m_fieldIndex.clear();
    m_sortedColumns.clear();
    m_model->endReset();
    invalidateSums();
    applyHeaderState();
}

void DataGrid::buildColumns()
{
    m_model->beginReset();
    makeColumns();
    m_model->endReset();
    invalidateSums();
    applyHeaderState();
    syncViewToDataSet();
}

void DataGrid::makeColumns()
{
    m_columns.clear();
    m_sortedColumns.clear();
    if (m_query) {
        for (const Field &f : m_query->fields()) {
            DataGridColumn c;
            c.fieldName = f.name;
            c.caption = f.name;
            c.width = DefaultColumnWidth;
            c.summary = f.isNumeric() ? GridSummary::Sum : GridSummary::None;
            m_columns << c;
        }
    }
    resolveFields();
}

void DataGrid::resolveFields()
{
    m_fieldIndex.clear();
    for (const DataGridColumn &c : std::as_const(m_columns)) {
        int index = -1;
        if (m_query) {
            // An exact name first; the database itself ignores case.
            const auto &fields = m_query->fields();
            for (int i = 0; i < fields.size() && index < 0; ++i)
                if (fields.at(i).name == c.fieldName)
                    index = i;
            if (index < 0)
                index = m_query->fieldIndex(c.fieldName);
        }
        m_fieldIndex << index;
    }
}

bool DataGrid::fieldsMatchColumns() const
{
    const int n = m_query ? m_query->fieldCount() : 0;
    if (n != m_columns.size())
        return false;
    for (int i = 0; i < n; ++i)
        if (m_query->field(i).name != m_columns.at(i).fieldName)
            return false;
    return true;
}

int DataGrid::columnByField(const QString &fieldName) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).fieldName == fieldName)
            return i;
    return -1;
}

int DataGrid::fieldOfColumn(int column) const
{
    return m_fieldIndex.value(column, -1);
}

void DataGrid::setColumnVisible(int column, bool visible)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].visible = visible;
    QHeaderView *header = m_view->horizontalHeader();
    if (visible) {
        header->showSection(column);
        header->resizeSection(column, m_columns.at(column).width);
    } else {
        header->hideSection(column);
    }
    m_footer->update();
}

bool DataGrid::columnVisible(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns.at(column).visible;
}

void DataGrid::setColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_columns.size())
        return;
    width = qMax(width, m_view->horizontalHeader()->minimumSectionSize());
    m_columns[column].width = width;
    if (m_columns.at(column).visible)
        m_view->horizontalHeader()->resizeSection(column, width);
}

int DataGrid::columnWidth(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).width : 0;
}

void DataGrid::setColumnCaption(int column, const QString &caption)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].caption = caption;
    m_model->headerUpdated(column);
}

void DataGrid::setColumnFormat(int column, const QString &format)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].displayFormat = format;
    m_view->viewport()->update();
    m_footer->update();
}

void DataGrid::setColumnSummary(int column, GridSummary summary)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].summary = summary;
    invalidateSums();
}

GridSortOrder DataGrid::sortState(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).sortOrder : GridSortOrder::None;
}

void DataGrid::setSortState(int column, GridSortOrder order)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].sortOrder = order;
    if (order == GridSortOrder::None)
        m_sortedColumns.removeAll(column);
    else if (!m_sortedColumns.contains(column))
        m_sortedColumns << column;
    m_model->headerUpdated(column);
}

void DataGrid::clearSortStates()
{
    const QList<int> sorted = m_sortedColumns;
    m_sortedColumns.clear();
    for (int c : sorted) {
        m_columns[c].sortOrder = GridSortOrder::None;
        m_model->headerUpdated(c);
    }
}

void DataGrid::setMultiSelect(bool on)
{
    if (m_multiSelect == on)
        return;
    m_multiSelect = on;
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    // Switching the mode drops the old selection; the current row stays selected.
    syncViewToDataSet();
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    QSet<int> seen;
    const QItemSelection selection = m_view->selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            if (!seen.contains(r)) {
                seen.insert(r);
                rows << r;
            }
    }
    return rows;
}

bool DataGrid::isRowSelected(int row) const
{
    return m_view->selectionModel()->rowIntersectsSelection(row, QModelIndex());
}

void DataGrid::selectRow(int row, bool add)
{
    if (row < 0 || row >= m_model->rowCount() || m_columns.isEmpty())
        return;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Rows;
    flags |= add && m_multiSelect ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect;
    m_view->selectionModel()->setCurrentIndex(m_model->index(row, 0), flags);
}

void DataGrid::selectAll()
{
    if (m_multiSelect)
        m_view->selectAll();
}

void DataGrid::clearSelection()
{
    m_view->selectionModel()->clearSelection();
}

void DataGrid::setFooterVisible(bool visible)
{
    m_footerVisible = visible;
    m_footer->setVisible(visible);
}

void DataGrid::invalidateSums()
{
    m_sumsValid = false;
    m_footer->update();
}

void DataGrid::computeSums() const
{
    m_sums = QList<QVariant>(m_columns.size());
    const Query *q = m_query;
    for (int c = 0; c < m_columns.size(); ++c) {
        const int f = m_fieldIndex.value(c, -1);
        if (m_columns.at(c).summary != GridSummary::Sum || !q || f < 0 || f >= q->fieldCount())
            continue;
        const int rows = q->Active() ? q->RecordCount() : 0;
        switch (q->field(f).type) {
        case FieldType::Integer: {
            qlonglong sum = 0;
            for (int r = 0; r < rows; ++r)
                sum += q->value(r, f).toLongLong();
            m_sums[c] = sum;
            break;
        }
        case FieldType::Money: {
            Money sum;
            for (int r = 0; r < rows; ++r) {
                const QVariant v = q->value(r, f);
                if (v.metaType() == QMetaType::fromType<Money>())
                    sum += v.value<Money>();
                else if (!v.isNull())
                    sum += Money::fromDouble(v.toDouble());
            }
            m_sums[c] = QVariant::fromValue(sum);
            break;
        }
        case FieldType::Float: {
            double sum = 0;
            for (int r = 0; r < rows; ++r)
                sum += q->value(r, f).toDouble();
            m_sums[c] = sum;
            break;
        }
        default:
            break;
        }
    }
    m_sumsValid = true;
}

QVariant DataGrid::footerValue(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return QVariant();
    if (!m_sumsValid)
        computeSums();
    return m_sums.value(column);
}

QRect DataGrid::footerCellRect(int column) const
{
    const QHeaderView *header = m_view->horizontalHeader();
    if (column < 0 || column >= m_columns.size() || header->isSectionHidden(column))
        return QRect();
    const int left = m_view->x() + m_view->viewport()->x() - m_footer->x();
    return QRect(left + header->sectionViewportPosition(column), 0, header->sectionSize(column), m_footer->height());
}

QString DataGrid::footerText(int column) const
{
    const QVariant v = footerValue(column);
    if (!v.isValid())
        return QString();
    const int f = m_fieldIndex.value(column, -1);
    return DataGridModel::displayText(v, m_query->field(f).type, m_columns.at(column).displayFormat);
}

void DataGrid::setCellStyleHook(CellStyleHook hook)
{
    m_cellStyleHook = std::move(hook);
    m_view->viewport()->update();
}

void DataGrid::cellColours(int row, int column, QColor &background, QColor &text) const
{
    background = QColor();
    text = QColor();
    if (m_selectionColour.isValid() && m_view->selectionModel()->isSelected(m_model->index(row, column))) {
        background = m_selectionColour;
        text = Qt::black;
    }
    if (m_cellStyleHook)
        m_cellStyleHook(row, column, background, text);
}

QString DataGrid::cellText(int row, int column) const
{
    const int f = m_fieldIndex.value(column, -1);
    if (!m_query || f < 0 || f >= m_query->fieldCount())
        return QString();
    return DataGridModel::displayText(m_query->value(row, f), m_query->field(f).type,
                                      m_columns.at(column).displayFormat);
}

void DataGrid::dataSetReset()
{
    // A reset that only brings a new sort order leaves the sums as they were.
    const QString sort = m_query ? m_query->sort() : QString();
    const int count = m_query && m_query->Active() ? m_query->RecordCount() : -1;
    const bool resorted = sort != m_lastSort && count == m_lastCount && fieldsMatchColumns();
    m_lastSort = sort;
    m_lastCount = count;

    m_syncing = true;
    m_model->beginReset();
    if (m_autoColumns && !fieldsMatchColumns())
        makeColumns();
    else
        resolveFields();
    m_model->endReset();
    m_syncing = false;
    if (!resorted)
        invalidateSums();
    applyHeaderState();
    syncViewToDataSet();
}

void DataGrid::dataSetRowChanged(int row)
{
    m_model->rowUpdated(row);
    invalidateSums();
}

void DataGrid::dataSetCurrentChanged(int)
{
    if (!m_syncing)
        syncViewToDataSet();
}

void DataGrid::syncViewToDataSet()
{
    const int row = m_query && m_query->Active() ? m_query->row() : -1;
    QItemSelectionModel *selection = m_view->selectionModel();
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount() || m_columns.isEmpty()) {
        selection->clear();
    } else {
        int column = 0;
        for (int c = 0; c < m_columns.size(); ++c)
            if (m_columns.at(c).visible) {
                column = c;
                break;
            }
        const QModelIndex index = m_model->index(row, column);
        // Walking the data set over the selected rows (as a delete loop does)
        // keeps the selection; a move anywhere else selects just that row.
        const bool keep = m_multiSelect && isRowSelected(row);
        selection->setCurrentIndex(index, keep ? QItemSelectionModel::NoUpdate
                                               : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    }
    m_syncing = false;
    m_view->viewport()->update();
}

void DataGrid::viewCurrentChanged(int row)
{
    if (m_syncing || !m_query || row < 0)
        return;
    m_syncing = true;
    m_query->setRow(row);
    m_syncing = false;
}

void DataGrid::applyHeaderState()
{
    // A model reset gives the header fresh sections; the columns hold the truth.
    for (int c = 0; c < m_columns.size(); ++c)
        setColumnVisible(c, m_columns.at(c).visible);
    m_footer->update();
}

void DataGrid::sectionResized(int logical, int, int newSize)
{
    if (logical >= 0 && logical < m_columns.size() && m_headerPressed && m_columns.at(logical).visible && newSize > 0) {
        m_columns[logical].width = newSize;
        m_widthChanged = true;
    }
    m_footer->update();
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_headerViewport) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_headerPressed = true;
            break;
        case QEvent::MouseButtonRelease:
            // The width is reported once, when the user lets go.
            if (static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton) {
                m_headerPressed = false;
                if (m_widthChanged) {
                    m_widthChanged = false;
                    Q_EMIT ChangedColumnsWidth();
                }
            }
            break;
        default:
            break;
        }
    } else if (watched == m_rowsViewport && event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QModelIndex index = m_view->indexAt(mouse->position().toPoint());
            Q_EMIT DblClick(index.isValid() ? index.row() : -1);
        }
    }
    return QWidget::eventFilter(watched, event);
}
