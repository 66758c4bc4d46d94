#pragma once

#include "TTBas.h"

#include <QStyle>

#include <functional>
#include <memory>

class DataGrid;
class QAbstractButton;
class QLabel;
class TQueryForm;
class Query;

// The family of list windows (MDI children of the main window): one table or
// view in a grid with a saved layout, a search filter, toolbar operations that
// ask for rights under the module code the main window keeps in "Hint", and a
// column chooser.
class TListWindow : public TTBas
{
    Q_OBJECT
public:
    // Shows an editor or a search dialog modally and gives its result. Tests
    // replace it to drive the dialog without a nested event loop.
    using DialogRunner = std::function<int(QDialog *)>;

    TListWindow(QWidget *owner, const QString &mode, const QString &viewName, const QString &tableName,
                const QString &keyField);

    const QString ViewName;
    const QString TableName;
    const QString KeyField;
    // Clauses of the last search, appended to the list query.
    QString WhereText;
    QString Mode;

    void SetDialogRunner(DialogRunner runner);

    // Runs the list query with the current filter and rebuilds the grid.
    virtual void LoadList() = 0;
    virtual void SBEditClick() = 0;
    void BtnBulletsClick();
    void SBExitClick();
    void grdDataDblClick(int row);

protected:
    // The family's look: a white header with a large bold title and a picture,
    // and the pictures of the toolbar's new, edit, delete, search, custom, help
    // and close buttons.
    void StyleListWindow(QWidget *header, QLabel *title, QLabel *picture, QStyle::StandardPixmap pictureKind,
                         const QList<QAbstractButton *> &toolbar);
    // The grid and query of the list, once the descendant has built them.
    void SetListGrid(DataGrid *grid, Query *query);
    // The module code followed by the operation code ("01" new ... "04" search).
    QString RightCode(const char *operation) const;
    int RunDialog(QDialog *dialog);
    // New (right "01"): the editor for a new row; after a save the list reloads
    // on its last row. Gives true after a save.
    bool NewRow(const std::function<std::unique_ptr<QDialog>()> &makeEditor);
    // Edit (right "02"): "No Data" on an empty list, otherwise the editor for the
    // current row's key; after a save the list reloads and goes back to that key.
    bool EditRow(const std::function<std::unique_ptr<QDialog>(const QString &key)> &makeEditor);
    // Search (right "04"): the search dialog; after OK its WhereText replaces
    // the list's and the list reloads.
    void SearchRows(std::unique_ptr<TQueryForm> dialog);
    // The family's delete of one row of the table by its key.
    void DeleteRow(const QString &key);
    // Runs deleteOne for every selected row's key, then reloads with reload,
    // clears the selection and goes back to the former row number if it still
    // exists. A failing statement reloads too before the error travels on, so
    // rows already deleted leave the grid.
    void DeleteSelectedRows(const QList<int> &rows, const std::function<void(const QString &key)> &deleteOne,
                            const std::function<void()> &reload);

private:
    DataGrid *m_listGrid = nullptr;
    Query *m_listQuery = nullptr;
    DialogRunner m_runner;
};
