#include "GridLayout.h"

#include "ColumnSettingForm.h"
#include "DataGrid.h"
#include "IniFile.h"
#include "Messages.h"
#include "ProgramDir.h"
#include "Public.h"
#include "Query.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QString GridLayoutKey(const QString &viewName, const QString &formName)
{
    return viewName + formName;
}

QString CustomerIniFile()
{
    return ProgramDir() + QStringLiteral("ini/Customer.ini");
}

QString WidthIniFile()
{
    return ProgramDir() + QStringLiteral("ini/Width.ini");
}

void OpenGridQuery(const QString &formName, const QString &viewName, Query *query, DataGrid *grid,
                   const QString &selectHead, const QString &c1, const QString &c2, const QString &c3,
                   const QString &c4, const QString &c5, const QString &c6, const QString &c7)
{
    query->Close();
    grid->setAutoColumns(false);
    query->setSql(selectHead + QStringLiteral(" where 1=1 ") + c1 + c2 + c3 + c4 + c5 + c6 + c7);
    {
        WaitCursor wait;
        query->Open();
        BuildGridColumns(grid);
        ApplyVisibleColumns(grid, viewName, formName);
        LoadColumnWidths(viewName, grid, formName);
    }
}

void BuildGridColumns(DataGrid *grid)
{
    grid->clearColumns();
    if (!grid->dataSet()) {
        ShowMessageBox(nullptr, QStringLiteral("不存在与dxDBGrid连接的数据源!"), 1);
        return;
    }
    grid->buildColumns();
}

void ApplyVisibleColumns(DataGrid *grid, const QString &viewName, const QString &formName)
{
    const QStringList keys = IniFile(CustomerIniFile()).ReadSection(GridLayoutKey(viewName, formName));
    if (keys.isEmpty())
        return;
    for (int c = 0; c < grid->columnCount(); ++c)
        grid->setColumnVisible(c, false);
    for (const QString &key : keys) {
        const int c = grid->columnByField(key);
        if (c >= 0)
            grid->setColumnVisible(c, true);
    }
}

void LoadColumnWidths(const QString &viewName, DataGrid *grid, const QString &formName)
{
    const IniFile ini(WidthIniFile());
    const QString section = GridLayoutKey(viewName, formName);
    const QStringList keys = ini.ReadSection(section);
    for (const QString &key : keys) {
        bool ok = false;
        const int width = ini.ReadString(section, key, QStringLiteral("100")).trimmed().toInt(&ok);
        const int c = grid->columnByField(key);
        if (ok && c >= 0)
            grid->setColumnWidth(c, width);
    }
}

void SaveColumnWidths(const QString &viewName, DataGrid *grid, const QString &formName)
{
    IniFile ini(WidthIniFile());
    const QString section = GridLayoutKey(viewName, formName);
    if (!ini.EraseSection(section))
        return;
    for (int c = 0; c < grid->columnCount(); ++c)
        if (!ini.WriteString(section, grid->column(c).fieldName, QString::number(grid->columnWidth(c))))
            return;
}

void ShowColumnSetting(DataGrid *grid, const QString &viewName, const QString &formName)
{
    {
        TfrmColumnSettingForm form(nullptr);
        form.ViewName = viewName;
        form.OwnerName = formName;
        QWidget *over = QApplication::activeWindow();
        const QRect area = over ? over->frameGeometry()
                                : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                    : QRect());
        if (area.isValid())
            form.move(area.center() - form.rect().center());
        form.exec();
    }
    if (grid->columnCount() > 0)
        ApplyVisibleColumns(grid, viewName, formName);
}

QString GetGridSortText(DataGrid *grid, int column)
{
    return GetGridSortText(grid, column, QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
}

QString GetGridSortText(DataGrid *grid, int column, bool shift)
{
    if (column < 0 || column >= grid->columnCount())
        return QString();
    const GridSortOrder was = grid->sortState(column);
    if (!shift)
        grid->clearSortStates();
    grid->setSortState(column, was == GridSortOrder::Ascending ? GridSortOrder::Descending : GridSortOrder::Ascending);
    QString text;
    const QList<int> sorted = grid->sortedColumns();
    for (int c : sorted) {
        text += grid->column(c).fieldName;
        text += grid->sortState(c) == GridSortOrder::Descending ? QStringLiteral(" DESC ") : QStringLiteral(" ASC");
        text += QLatin1Char(',');
    }
    text.chop(1);
    return text;
}

void WireListGrid(DataGrid *grid, Query *query, const QString &viewName, const QString &formName)
{
    grid->setDataSet(query);
    QObject::connect(grid, &DataGrid::ColumnClick, query, [grid, query](int column) {
        query->setSort(QString());
        query->setSort(GetGridSortText(grid, column));
    });
    QObject::connect(grid, &DataGrid::ChangedColumnsWidth, grid, [grid, viewName, formName] {
        SaveColumnWidths(viewName, grid, formName);
        LoadColumnWidths(viewName, grid, formName);
    });
}
