#include "ListWindow.h"

#include "DataGrid.h"
#include "DbError.h"
#include "GridLayout.h"
#include "Query.h"

TListWindow::TListWindow(QWidget *owner, const QString &mode, const QString &viewName, const QString &tableName,
                         const QString &keyField)
    : TTBas(owner), ViewName(viewName), TableName(tableName), KeyField(keyField), Mode(mode)
{
    SetFreeOnClose(true);
    SetDialogRunner({});
}

void TListWindow::SetListGrid(DataGrid *grid, Query *query)
{
    m_listGrid = grid;
    m_listQuery = query;
}

void TListWindow::SetDialogRunner(DialogRunner runner)
{
    m_runner = runner ? std::move(runner) : DialogRunner([](QDialog *dialog) { return dialog->exec(); });
}

int TListWindow::RunDialog(QDialog *dialog)
{
    return m_runner(dialog);
}

QString TListWindow::RightCode(const char *operation) const
{
    return property("Hint").toString() + QLatin1String(operation);
}

void TListWindow::BtnBulletsClick()
{
    ShowColumnSetting(m_listGrid, ViewName, objectName());
}

void TListWindow::SBExitClick()
{
    close();
}

void TListWindow::grdDataDblClick(int row)
{
    if (row >= 0)
        SBEditClick();
}

void TListWindow::DeleteSelectedRows(const QList<int> &rows, const std::function<void(const QString &key)> &deleteOne,
                                     const std::function<void()> &reload)
{
    const int current = m_listQuery->row();
    const int keyColumn = m_listQuery->fieldIndex(KeyField);
    QStringList keys;
    for (int row : rows)
        keys << m_listQuery->value(row, keyColumn).toString();

    auto afterwards = [this, current, &reload] {
        reload();
        m_listGrid->clearSelection();
        if (current >= 0 && current < m_listQuery->RecordCount())
            m_listQuery->setRow(current);
        m_listGrid->selectRow(m_listQuery->row());
    };
    try {
        for (const QString &key : std::as_const(keys))
            deleteOne(key);
    } catch (const DbError &) {
        afterwards();
        throw;
    }
    afterwards();
}
