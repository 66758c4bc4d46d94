#include "ListWindow.h"

#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "GridLayout.h"
#include "Messages.h"
#include "Public.h"
#include "Query.h"
#include "QueryForm.h"
#include "Tdm.h"

#include <QAbstractButton>
#include <QLabel>

TListWindow::TListWindow(QWidget *owner, const QString &mode, const QString &viewName, const QString &tableName,
                         const QString &keyField)
    : TTBas(owner), ViewName(viewName), TableName(tableName), KeyField(keyField), Mode(mode)
{
    SetFreeOnClose(true);
    SetDialogRunner({});
}

void TListWindow::StyleListWindow(QWidget *header, QLabel *title, QLabel *picture, QStyle::StandardPixmap pictureKind,
                                  const QList<QAbstractButton *> &toolbar)
{
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    header->setPalette(white);
    QFont titleFont = title->font();
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    title->setFont(titleFont);
    picture->setPixmap(style()->standardIcon(pictureKind).pixmap(40, 40));

    static const QStyle::StandardPixmap icons[] = {
        QStyle::SP_FileIcon, QStyle::SP_FileDialogDetailedView, QStyle::SP_TrashIcon,
        QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogListView, QStyle::SP_DialogHelpButton,
        QStyle::SP_DialogCloseButton};
    for (int i = 0; i < toolbar.size() && i < int(std::size(icons)); ++i)
        toolbar.at(i)->setIcon(style()->standardIcon(icons[i]));
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

bool TListWindow::NewRow(const std::function<std::unique_ptr<QDialog>()> &makeEditor)
{
    if (!PermissionCheck(RightCode("01")))
        return false;
    const std::unique_ptr<QDialog> editor = makeEditor();
    if (RunDialog(editor.get()) != QDialog::Accepted)
        return false;
    LoadList();
    m_listQuery->Last();
    return true;
}

bool TListWindow::EditRow(const std::function<std::unique_ptr<QDialog>(const QString &key)> &makeEditor)
{
    if (!PermissionCheck(RightCode("02")))
        return false;
    if (m_listQuery->IsEmpty()) {
        ShowPlainMessage(this, QStringLiteral("No Data"), QStringLiteral("message"), QMessageBox::Information);
        return false;
    }
    const QString key = m_listQuery->text(KeyField);
    const std::unique_ptr<QDialog> editor = makeEditor(key);
    if (RunDialog(editor.get()) != QDialog::Accepted)
        return false;
    LoadList();
    m_listQuery->Locate(KeyField, key);
    return true;
}

void TListWindow::SearchRows(std::unique_ptr<TQueryForm> dialog)
{
    if (!PermissionCheck(RightCode("04")))
        return;
    if (RunDialog(dialog.get()) != QDialog::Accepted)
        return;
    WhereText = dialog->WhereText;
    LoadList();
}

void TListWindow::DeleteRow(const QString &key)
{
    dm->adc->Execute(QStringLiteral("delete from ") + TableName + QStringLiteral(" where 1=1 ") + QStringLiteral(" and ")
                     + KeyField + QLatin1Char('=') + key);
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
