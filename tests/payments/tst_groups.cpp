#include "Connection.h"
#include "DataGrid.h"
#include "GroupEditForm.h"
#include "GroupListForm.h"
#include "GroupQueryForm.h"
#include "ProgramDir.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList namesInBook(const QString &sql = u"select GroupName from xt_tc_group order by GroupID"_s)
{
    Query q(dm->adc);
    dm->RunSql(&q, sql, 1);
    QStringList names;
    for (int r = 0; r < q.RecordCount(); ++r)
        names << q.value(r, 0).toString();
    return names;
}

QStringList namesInList(const TfrmgroupListForm &list)
{
    QStringList names;
    const Query *q = list.aq_Data();
    for (int r = 0; r < q->RecordCount(); ++r)
        names << q->value(r, q->fieldIndex(u"GroupName"_s)).toString();
    return names;
}

int rowOf(const TfrmgroupListForm &list, const QString &name)
{
    return int(namesInList(list).indexOf(name));
}

// Runs the dialog's steps without a nested event loop and hands back its result.
TfrmgroupListForm::DialogRunner runner(std::function<void(QDialog *)> steps)
{
    return [steps](QDialog *dialog) {
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("dialog did not become active");
        steps(dialog);
        return dialog->result();
    };
}

}

class TestGroups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;

    static void addGroup(const QString &name)
    {
        Query q(dm->adc);
        dm->RunSql(&q, u"select * from xt_tc_group where 1=2 "_s, 1);
        q.Append();
        q.setValue(u"GroupName"_s, name);
        q.Post();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(OpenTestBook());
    }

    void cleanup()
    {
        m_dir.reset();
    }

    void listWindow()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        list.setProperty("Hint", u"0102"_s);
        QCOMPARE(list.objectName(), u"frmgroupListForm"_s);
        QCOMPARE(list.windowTitle(), u"group List"_s);
        QCOMPARE(list.findChild<QLabel *>(u"Label3"_s)->text(), u"Group list"_s);
        QCOMPARE(list.findChild<QLabel *>(u"Label1"_s)->text(), u"Grouped and filtered for categorization"_s);
        auto *pages = list.findChild<QTabWidget *>(u"RzPageControl1"_s);
        QCOMPARE(pages->count(), 1);
        QCOMPARE(pages->tabText(0), u"List"_s);

        QStringList captions, hints, shown;
        QLayout *bar = list.findChild<QWidget *>(u"plToolbar"_s)->layout();
        for (int i = 0; i < bar->count(); ++i)
            if (auto *b = qobject_cast<QToolButton *>(bar->itemAt(i)->widget())) {
                captions << b->text();
                hints << b->toolTip();
                if (!b->isHidden())
                    shown << b->text();
            }
        QCOMPARE(captions, QStringList({u"New(&A)"_s, u"Edit(&E)"_s, u"Delete(&D)"_s, u"Search(&Q)"_s,
                                        u"Custom(&U)"_s, u"Help(&F)"_s, u"Close(&C)"_s}));
        QCOMPARE(hints, QStringList({u"Alt+A"_s, u"Alt+E"_s, u"Alt+D"_s, u"Alt+Q"_s, u"Alt+U"_s, u"Alt+F"_s,
                                     u"Alt+C"_s}));
        QCOMPARE(shown, QStringList({u"New(&A)"_s, u"Edit(&E)"_s, u"Delete(&D)"_s, u"Search(&Q)"_s,
                                     u"Close(&C)"_s}));

        QCOMPARE(list.aq_Data()->sql(), u"select * from xt_tc_group where 1=1 "_s);
        QCOMPARE(list.grdData()->columnCount(), 2);
        QCOMPARE(list.grdData()->column(0).fieldName, u"GroupID"_s);
        QCOMPARE(list.grdData()->column(1).fieldName, u"GroupName"_s);
        QVERIFY(list.grdData()->multiSelect());
        QCOMPARE(list.StatusText(), u"Record count:6."_s);
        list.aq_Data()->setRow(2);
        QCOMPARE(list.StatusText(), u" Total 6 records,the current record3"_s);

        // Widths are filed under the table name and the window's name.
        Q_EMIT list.grdData()->ChangedColumnsWidth();
        QFile widths(ProgramDir() + u"ini/Width.ini"_s);
        QVERIFY(widths.open(QIODevice::ReadOnly));
        QVERIFY(widths.readAll().contains("[xt_tc_groupfrmgroupListForm]"));
    }

    void closeFreesTheWindow()
    {
        QPointer<TfrmgroupListForm> list = new TfrmgroupListForm(nullptr, u"0"_s);
        list->show();
        list->findChild<QToolButton *>(u"RzToolButton3"_s)->click();
        QTRY_VERIFY(list.isNull());
    }

    void deleteKeepsGroupsInUse_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("occupied");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QList<int>>("selectionAfter");

        const QStringList sample{u"Household"_s, u"Salary"_s, u"Business"_s, u"Car"_s, u"Insurance"_s, u"Leisure"_s};
        QTest::newRow("one in use, one free")
            << QStringList({u"Household"_s, u"Spare"_s}) << int(QMessageBox::Yes) << 1
            << sample + QStringList({u"Unused"_s}) << 6 << QList<int>({6});
        QTest::newRow("two in use, two free; old row gone")
            << QStringList({u"Car"_s, u"Spare"_s, u"Insurance"_s, u"Unused"_s}) << int(QMessageBox::Yes) << 2
            << sample << 0 << QList<int>({0});
        QTest::newRow("answer No deletes nothing")
            << QStringList({u"Spare"_s, u"Unused"_s}) << int(QMessageBox::No) << 0
            << sample + QStringList({u"Spare"_s, u"Unused"_s}) << 7 << QList<int>({6, 7});
    }

    void deleteKeepsGroupsInUse()
    {
        QFETCH(QStringList, selected);
        QFETCH(int, answer);
        QFETCH(int, occupied);
        QFETCH(QStringList, remaining);
        QFETCH(int, currentAfter);
        QFETCH(QList<int>, selectionAfter);

        addGroup(u"Spare"_s);
        addGroup(u"Unused"_s);
        TfrmgroupListForm list(nullptr, u"0"_s);
        list.setProperty("Hint", u"0102"_s);
        bool first = true;
        for (const QString &name : std::as_const(selected)) {
            list.grdData()->selectRow(rowOf(list, name), !first);
            first = false;
        }
        QCOMPARE(list.grdData()->selectedRows().size(), selected.size());

        MessageRecorder messages;
        messages.answer(QMessageBox::StandardButton(answer));
        list.findChild<QToolButton *>(u"RzToolButton2"_s)->click();

        QVERIFY(messages.count() >= 1);
        const MessageRequest question = messages.messages().first();
        QCOMPARE(question.text, u"do you want to delete the record?\r\r"_s);
        QCOMPARE(question.caption, u"message"_s);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(messages.count(), 1 + occupied);
        for (int i = 1; i < messages.count(); ++i) {
            QCOMPARE(messages.messages().at(i).text, u"To remove the group is occupied!"_s);
            QCOMPARE(messages.messages().at(i).caption, u"Message"_s);
        }
        QCOMPARE(namesInBook(), remaining);
        QCOMPARE(namesInList(list), remaining);
        QCOMPARE(list.aq_Data()->row(), currentAfter);
        QCOMPARE(list.grdData()->selectedRows(), selectionAfter);
    }

    void deleteGuards()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        MessageRecorder messages;
        list.grdData()->clearSelection();
        list.RzToolButton2Click();
        QCOMPARE(messages.texts(), QStringList({u"Select the record to be deleted"_s}));
        QCOMPARE(messages.messages().first().caption, u"message"_s);
        QCOMPARE(namesInBook().size(), 6);

        messages.clear();
        list.WhereText = u" and 1=0"_s;
        list.LoadList();
        QCOMPARE(list.StatusText(), u"Record count:0."_s);
        list.RzToolButton2Click();
        QCOMPARE(messages.count(), 0);
    }

    void newGroup()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        MessageRecorder messages;
        int mode = -1;
        QString sql, caption, line;
        bool stayedOpen = false;
        list.SetDialogRunner(runner([&](QDialog *dialog) {
            auto *editor = qobject_cast<TfrmGroupEditForm *>(dialog);
            QVERIFY(editor);
            mode = editor->Mode;
            sql = editor->aq_Data()->sql();
            caption = editor->findChild<QLabel *>(u"lblCaption"_s)->text();
            line = editor->findChild<QLabel *>(u"lblSubCaption"_s)->text();
            QCOMPARE(QApplication::focusWidget(), editor->edtGroupName());
            QTest::keyClick(editor->edtGroupName(), Qt::Key_S, Qt::ControlModifier);
            stayedOpen = editor->isVisible() && editor->result() == 0;
            QTest::keyClicks(editor->edtGroupName(), u"Travel"_s);
            QTest::keyClick(editor->edtGroupName(), Qt::Key_S, Qt::ControlModifier);
        }));
        list.findChild<QToolButton *>(u"SBAdd"_s)->click();
        QCOMPARE(mode, 1);
        QCOMPARE(sql, u"select * from xt_tc_group where 1=2 "_s);
        QCOMPARE(caption, u"New group"_s);
        QCOMPARE(line, u"Add or edit a group"_s);
        QVERIFY(stayedOpen);
        QCOMPARE(messages.texts(), QStringList({u"Please enter group name!"_s}));
        QCOMPARE(messages.messages().first().caption, u"Message"_s);

        QCOMPARE(namesInBook().last(), u"Travel"_s);
        QCOMPARE(list.aq_Data()->RecordCount(), 7);
        QCOMPARE(list.aq_Data()->row(), 6);
        QCOMPARE(list.aq_Data()->text(u"GroupName"_s), u"Travel"_s);
        QVERIFY(list.aq_Data()->value(u"GroupID"_s).toInt() > 6);
        QCOMPARE(list.StatusText(), u" Total 7 records,the current record7"_s);
    }

    void blankNameIsRefused()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        MessageRecorder messages;
        messages.answer(QMessageBox::Ok);
        messages.answer(QMessageBox::Yes);
        list.SetDialogRunner(runner([](QDialog *dialog) {
            auto *editor = static_cast<TfrmGroupEditForm *>(dialog);
            editor->edtGroupName()->setText(u"   "_s);
            editor->Action1Execute();
            editor->Action2Execute();
        }));
        list.SBAddClick();
        QCOMPARE(messages.texts(),
                 QStringList({u"Please enter group name!"_s, u"Do you wish to cancel the operation?"_s}));
        QCOMPARE(namesInBook().size(), 6);
    }

    void escapeAsksFirst_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("new group") << 1;
        QTest::newRow("edit group") << 0;
    }

    void escapeAsksFirst()
    {
        QFETCH(int, mode);
        TfrmgroupListForm list(nullptr, u"0"_s);
        list.aq_Data()->setRow(rowOf(list, u"Car"_s));
        MessageRecorder messages;
        messages.answer(QMessageBox::No);
        messages.answer(QMessageBox::Yes);
        bool stayedWithText = false;
        list.SetDialogRunner(runner([&](QDialog *dialog) {
            auto *editor = static_cast<TfrmGroupEditForm *>(dialog);
            editor->edtGroupName()->setText(u"Boat"_s);
            QTest::keyClick(editor->edtGroupName(), Qt::Key_Escape);
            stayedWithText = editor->isVisible() && editor->edtGroupName()->text() == u"Boat"_s;
            QTest::keyClick(editor->edtGroupName(), Qt::Key_Escape);
        }));
        if (mode == 1)
            list.SBAddClick();
        else
            list.SBEditClick();
        QCOMPARE(messages.count(), 2);
        for (const MessageRequest &m : messages.messages()) {
            QCOMPARE(m.text, u"Do you wish to cancel the operation?"_s);
            QCOMPARE(m.caption, u"Message"_s);
            QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(m.defaultButton, QMessageBox::No);
        }
        QVERIFY(stayedWithText);
        QCOMPARE(namesInBook(),
                 QStringList({u"Household"_s, u"Salary"_s, u"Business"_s, u"Car"_s, u"Insurance"_s, u"Leisure"_s}));
        // Cancelled: the list is not reloaded and stays on its row.
        QCOMPARE(list.aq_Data()->row(), 3);
    }

    void editGroup()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        const int car = rowOf(list, u"Car"_s);
        list.aq_Data()->setRow(car);
        const QString id = list.aq_Data()->text(u"groupID"_s);
        int mode = -1;
        QString key, shown, sql;
        list.SetDialogRunner(runner([&](QDialog *dialog) {
            auto *editor = static_cast<TfrmGroupEditForm *>(dialog);
            mode = editor->Mode;
            key = editor->KeyValue;
            shown = editor->edtGroupName()->text();
            sql = editor->aq_Data()->sql();
            editor->edtGroupName()->setText(u"Vehicle"_s);
            editor->findChild<QPushButton *>(u"Button1"_s)->click();
        }));
        Q_EMIT list.grdData()->DblClick(car);
        QCOMPARE(mode, 0);
        QCOMPARE(key, id);
        QCOMPARE(shown, u"Car"_s);
        QCOMPARE(sql, u"select * from xt_tc_group where groupID="_s + id);
        // Reloaded and back on the edited group.
        QCOMPARE(list.aq_Data()->row(), car);
        QCOMPARE(list.aq_Data()->text(u"GroupName"_s), u"Vehicle"_s);
        QCOMPARE(list.StatusText(), u" Total 6 records,the current record"_s + QString::number(car + 1));
        // Items see the new name through the view.
        const QStringList viewNames =
            namesInBook(u"select distinct GroupName from xt_vd_Payment where GroupID="_s + id);
        QCOMPARE(viewNames, QStringList({u"Vehicle"_s}));
    }

    void editOnEmptyListSaysNoData()
    {
        TfrmgroupListForm list(nullptr, u"0"_s);
        list.WhereText = u" and 1=0"_s;
        list.LoadList();
        bool opened = false;
        list.SetDialogRunner([&](QDialog *) {
            opened = true;
            return int(QDialog::Rejected);
        });
        MessageRecorder messages;
        list.findChild<QToolButton *>(u"SBEdit"_s)->click();
        QVERIFY(!opened);
        QCOMPARE(messages.texts(), QStringList({u"No Data"_s}));
        QCOMPARE(messages.messages().first().caption, u"message"_s);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
    }

    void search()
    {
        addGroup(u"O'Neil's fund"_s);
        TfrmgroupListForm list(nullptr, u"0"_s);
        QString typed;
        bool cancel = false;
        QStringList headings;
        list.SetDialogRunner(runner([&](QDialog *dialog) {
            auto *query = qobject_cast<TfrmGroupQueryForm *>(dialog);
            QVERIFY(query);
            headings = QStringList{query->Label1()->text(), query->Label2()->text(), query->btnOk()->text(),
                                   query->btnCancel()->text()};
            query->edtGroupName()->setFocus();
            QTest::keyClicks(query->edtGroupName(), typed);
            QTest::keyClick(query->edtGroupName(), cancel ? Qt::Key_Escape : Qt::Key_Return);
        }));

        typed = u"O'Neil"_s;
        list.findChild<QToolButton *>(u"SBPrint"_s)->click();
        QCOMPARE(headings, QStringList({u"Intruduction"_s, u"Search group"_s, u"OK(&Ent)"_s, u"Close(&ESC)"_s}));
        QCOMPARE(list.WhereText, u" and groupName like '%O''Neil%'"_s);
        QCOMPARE(list.aq_Data()->sql(), u"select * from xt_tc_group where 1=1  and groupName like '%O''Neil%'"_s);
        QCOMPARE(namesInList(list), QStringList({u"O'Neil's fund"_s}));
        QCOMPARE(list.StatusText(), u"Record count:1."_s);

        cancel = true;
        typed = u"Car"_s;
        list.SBPrintClick();
        QCOMPARE(list.WhereText, u" and groupName like '%O''Neil%'"_s);
        QCOMPARE(namesInList(list), QStringList({u"O'Neil's fund"_s}));

        cancel = false;
        typed.clear();
        list.SBPrintClick();
        QVERIFY(list.WhereText.isEmpty());
        QCOMPARE(namesInList(list).size(), 7);
        QCOMPARE(list.StatusText(), u"Record count:7."_s);
    }
};

QTEST_MAIN(TestGroups)
#include "tst_groups.moc"
