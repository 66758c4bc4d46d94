#pragma once

#include <QString>

class DataGrid;
class Query;

// The grid layout of a list is filed under the view name followed directly by
// the window's component name, in ini/Customer.ini (the columns to show) and
// ini/Width.ini (every column's width). Nothing is kept between calls.
QString GridLayoutKey(const QString &viewName, const QString &formName);
QString CustomerIniFile();
QString WidthIniFile();

// Runs selectHead + " where 1=1 " + the clauses (each begins with its own blank),
// rebuilds the grid's columns and applies the stored choice and widths.
// A failing statement throws DbError to the caller.
void OpenGridQuery(const QString &formName, const QString &viewName, Query *query, DataGrid *grid,
                   const QString &selectHead, const QString &c1 = QString(), const QString &c2 = QString(),
                   const QString &c3 = QString(), const QString &c4 = QString(), const QString &c5 = QString(),
                   const QString &c6 = QString(), const QString &c7 = QString());

// One read-only column per field of the grid's data set; sums for numeric fields.
void BuildGridColumns(DataGrid *grid);
// Shows exactly the columns listed in the layout's Customer.ini section; no section: no change.
void ApplyVisibleColumns(DataGrid *grid, const QString &viewName, const QString &formName);
void LoadColumnWidths(const QString &viewName, DataGrid *grid, const QString &formName);
// Rewrites the layout's Width.ini section with every column, hidden ones too.
void SaveColumnWidths(const QString &viewName, DataGrid *grid, const QString &formName);
// The column chooser, modal; the choice takes effect at once.
void ShowColumnSetting(DataGrid *grid, const QString &viewName, const QString &formName);

// Turns a header click into the data set's sort text ("first ASC,Last DESC ").
// Without Shift only the clicked column stays sorted; a click sorts ascending,
// the next one descending. The first form reads Shift from the keyboard.
QString GetGridSortText(DataGrid *grid, int column);
QString GetGridSortText(DataGrid *grid, int column, bool shift);

// The wiring every list window shares: binds the grid to the query, sorts the
// loaded rows on a header click and stores the widths after a resize.
void WireListGrid(DataGrid *grid, Query *query, const QString &viewName, const QString &formName);
