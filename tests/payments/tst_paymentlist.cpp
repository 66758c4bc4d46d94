#include "Connection.h"
#include "DataGrid.h"
#include "DisplayFormat.h"
#include "PaymentEditForm.h"
#include "PaymentListForm.h"
#include "PaymentQueryForm.h"
#include "ProgramDir.h"
#include "Query.h"
#include "Report.h"
#include "SelectGroupForm.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDriver>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <sqlite3.h>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor Alert(255, 89, 89);
const QColor Selected(255, 240, 210);

// Records the text of every statement the book's connection runs.
class StatementLog
{
public:
    explicit StatementLog(Connection *connection)
    {
        const QVariant handle = connection->database().driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_db = *static_cast<sqlite3 *const *>(handle.constData());
        if (m_db)
            sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementLog::trace, this);
    }
    ~StatementLog()
    {
        if (m_db)
            sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
    }
    bool isValid() const { return m_db != nullptr; }
    QStringList startingWith(const QString &prefix) const
    {
        QStringList out;
        for (const QString &s : m_statements)
            if (s.startsWith(prefix, Qt::CaseInsensitive))
                out << s;
        return out;
    }

private:
    static int trace(unsigned, void *context, void *, void *text)
    {
        static_cast<StatementLog *>(context)->m_statements << QString::fromUtf8(static_cast<const char *>(text));
        return 0;
    }

    sqlite3 *m_db = nullptr;
    QStringList m_statements;
};

QList<qint64> idsInBook()
{
    Query q(dm->adc);
    dm->RunSql(&q, u"select IncID from xt_td_Payment order by IncID"_s, 1);
    QList<qint64> ids;
    for (int r = 0; r < q.RecordCount(); ++r)
        ids << q.value(r, 0).toLongLong();
    return ids;
}

QList<qint64> idsInList(const TfrmPaymentListForm &window)
{
    const Query *q = window.aq_Data();
    QList<qint64> ids;
    for (int r = 0; r < q->RecordCount(); ++r)
        ids << q->value(r, q->fieldIndex(u"IncID"_s)).toLongLong();
    return ids;
}

qint64 currentId(const TfrmPaymentListForm &window)
{
    return window.aq_Data()->value(u"IncID"_s).toLongLong();
}

void insertItem(int id, const QString &description, const QString &amount, const QString &type,
                const QString &begin, const QString &frequency, int group)
{
    dm->adc->Execute(u"insert into xt_td_Payment (IncID, Description, Amount, Type, DateBegin, DateEnd, HasEnd, "
                     "GroupID, FrequencyID, AccountID) values (%1, '%2', %3, '%4', '%5', '%5', '0', %6, '%7', 1)"_s
                         .arg(id)
                         .arg(description, amount, type, begin)
                         .arg(group)
                         .arg(frequency));
}

// Three items of March 2030: an income of 1000 on the 1st, expenses of 300 on
// the 5th and 200 on the 20th, two of them with Chinese descriptions.
void useMarchItems()
{
    dm->adc->Execute(u"delete from xt_td_Payment"_s);
    insertItem(103, u"电费 Electricity"_s, u"200"_s, u"0"_s, u"2030-03-20"_s, u"01"_s, 1);
    insertItem(101, u"Salary March"_s, u"1000"_s, u"1"_s, u"2030-03-01"_s, u"01"_s, 2);
    insertItem(102, u"房租 三月"_s, u"300"_s, u"0"_s, u"2030-03-05"_s, u"01"_s, 1);
}

void showPeriod(TfrmPaymentListForm &window, QDate begin, QDate end)
{
    window.dtpEnd()->setDate(end);
    window.dtpBegin()->setDate(begin);
}

void openDueTab(TfrmPaymentListForm &window)
{
    window.findChild<QTabWidget *>(u"pgList"_s)->setCurrentIndex(1);
}

void openDefinitionsTab(TfrmPaymentListForm &window)
{
    window.findChild<QTabWidget *>(u"pgList"_s)->setCurrentIndex(0);
}

QString cell(const TfrmPaymentListForm &window, int row, const QString &caption)
{
    const DataGrid *grid = window.grdDue();
    for (int c = 0; c < grid->columnCount(); ++c)
        if (grid->column(c).caption == caption)
            return grid->cellText(row, c);
    return u"<no column>"_s;
}

int dueColumn(const TfrmPaymentListForm &window, const QString &caption)
{
    const DataGrid *grid = window.grdDue();
    for (int c = 0; c < grid->columnCount(); ++c)
        if (grid->column(c).caption == caption)
            return c;
    return -1;
}

QStringList statuses(const TfrmPaymentListForm &window)
{
    QStringList out;
    for (const DueRow &r : window.dueList().rows())
        out << r.Status;
    return out;
}

void doubleClickDueRow(TfrmPaymentListForm &window, int row)
{
    QTableView *view = window.grdDue()->view();
    const QRect rect = view->visualRect(view->model()->index(row, 1));
    QVERIFY(rect.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

QDate monthStart(int shift)
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(shift);
}

QDate monthEnd(int shift)
{
    const QDate begin = monthStart(shift);
    return QDate(begin.year(), begin.month(), begin.daysInMonth());
}

QString shortDate(QDate date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

}

class TestPaymentList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    QString m_python;

    bool readXls(const QString &file, QJsonObject *book)
    {
        QProcess p;
        p.start(m_python, {QFINDTESTDATA("read_xls.py"), file});
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning().noquote() << "read_xls.py failed:" << QString::fromUtf8(p.readAllStandardError());
            return false;
        }
        *book = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        const QJsonArray problems = book->value(u"problems"_s).toArray();
        for (const QJsonValue &problem : problems)
            qWarning().noquote() << "structure:" << problem.toString();
        return problems.isEmpty() && !book->value(u"sheets"_s).toArray().isEmpty();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!QFINDTESTDATA("read_xls.py").isEmpty(), "read_xls.py not found beside the test source");
        // Debian's python3-xlrd belongs to the system interpreter.
        for (const QString &candidate : {u"/usr/bin/python3"_s, QStandardPaths::findExecutable(u"python3"_s)}) {
            if (candidate.isEmpty() || !QFile::exists(candidate))
                continue;
            QProcess probe;
            probe.start(candidate, {u"-c"_s, u"import xlrd"_s});
            if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0) {
                m_python = candidate;
                break;
            }
        }
    }

    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(OpenTestBook());
    }

    void cleanup()
    {
        TFrmReportForm::SetPreviewHook({});
        m_dir.reset();
    }

    void layout()
    {
        TfrmPaymentListForm window(nullptr, u"0"_s);
        window.setProperty("Hint", u"0201"_s);
        QCOMPARE(window.objectName(), u"frmPaymentListForm"_s);
        QCOMPARE(window.windowTitle(), u"Income & Expense"_s);
        QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(window.findChild<QLabel *>(u"lblTopic"_s)->text(), u"Income and payment"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblTopicDescrib"_s)->text(), u"Record your payment Info"_s);
        auto *pages = window.findChild<QTabWidget *>(u"pgList"_s);
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), u"Income and Expense"_s);
        QCOMPARE(pages->tabText(1), u"Due list"_s);
        QCOMPARE(pages->currentIndex(), 0);

        QStringList captions, hints, shown;
        QLayout *bar = window.findChild<QWidget *>(u"plToolbar"_s)->layout();
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
                                     u"Custom(&U)"_s, u"Close(&C)"_s}));

        // Definitions: loaded at creation in IncID order, several rows selectable.
        QCOMPARE(window.aq_Data()->sql(), u"select * from xt_vd_Payment where 1=1  order by IncID"_s);
        QCOMPARE(idsInList(window), idsInBook());
        QVERIFY(window.grdData()->multiSelect());
        QCOMPARE(window.StatusText(), u"Record count:19."_s);
        window.aq_Data()->setRow(4);
        QCOMPARE(window.StatusText(), u" Record count: 19"_s);
        Q_EMIT window.grdData()->ChangedColumnsWidth();
        QFile widths(ProgramDir() + u"ini/Width.ini"_s);
        QVERIFY(widths.open(QIODevice::ReadOnly));
        QVERIFY(widths.readAll().contains("[xt_vd_PaymentfrmPaymentListForm]"));
        widths.close();

        // Due tab: picture buttons without captions, then the period and the commands.
        for (const char *name : {"btnYearPrior", "btnMonthPrior", "btnThisMonth", "btnMonthNext", "btnYearNext"}) {
            auto *b = window.findChild<QToolButton *>(QLatin1String(name));
            QVERIFY2(b && b->text().isEmpty() && !b->icon().isNull(), name);
        }
        QCOMPARE(window.findChild<QLabel *>(u"lblFrom"_s)->text(), u"from"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblTo"_s)->text(), u"to"_s);
        QStringList commands;
        for (const char *name : {"btnEditItem", "btnFilterGroup", "btnPrint", "btnExport"})
            commands << window.findChild<QPushButton *>(QLatin1String(name))->text();
        QCOMPARE(commands, QStringList({u"Edit Item"_s, u"Filter Group"_s, u"Print"_s, u"Export"_s}));

        const DataGrid *due = window.grdDue();
        QVERIFY(!due->multiSelect());
        struct Expected
        {
            QString field, caption;
            int width;
            QString format;
            bool visible;
        };
        const QList<Expected> expected{
            {u"Date"_s, u"Date"_s, 99, u"short date"_s, true},
            {u"Description"_s, u"Description"_s, 188, QString(), true},
            {u"Charge"_s, u"Income"_s, 100, u"#,###.##"_s, true},
            {u"Payment"_s, u"Expense"_s, 104, u"#,###.##"_s, true},
            {u"Balance"_s, u"Balance"_s, 133, u"#,###.##"_s, true},
            {u"Status"_s, u"Status"_s, 114, QString(), true},
            {u"PK"_s, u"PK"_s, 0, QString(), false},
            {u"PaymentIncID"_s, u"PaymentIncID"_s, 0, QString(), false},
        };
        QCOMPARE(due->columnCount(), expected.size());
        for (int c = 0; c < expected.size(); ++c) {
            const Expected &e = expected.at(c);
            QCOMPARE(due->column(c).fieldName, e.field);
            QCOMPARE(due->columnVisible(c), e.visible);
            if (!e.visible)
                continue;
            QCOMPARE(due->column(c).caption, e.caption);
            QCOMPARE(due->columnWidth(c), e.width);
            QCOMPARE(due->column(c).displayFormat, e.format);
        }
        QCOMPARE(window.findChild<QLabel *>(u"lblIncome"_s)->text(), u"income:"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblExpense"_s)->text(), u"expense:"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblEndingBalance"_s)->text(), u"Ending balance:"_s);
        for (QLineEdit *box : {window.edtIncome(), window.edtExpense(), window.edtEndingBalance()}) {
            QVERIFY(box->isReadOnly());
            QCOMPARE(box->text(), u".00"_s);
        }
        QCOMPARE(window.DueStatusText(1), u"double click row set  ignore"_s);
        QCOMPARE(window.DueStatusText(2), u"no group selected"_s);
        QVERIFY(!window.DueListComputed());
    }

    void firstDueTabShowsThisMonth()
    {
        TfrmPaymentListForm window(nullptr, u"0"_s);
        QSignalSpy refreshed(&window, &TfrmPaymentListForm::DueListRefreshed);
        window.aq_Data()->setRow(7);
        openDueTab(window);
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(window.findChild<QLabel *>(u"lblTopic"_s)->text(), u"Due List"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblTopicDescrib"_s)->text(), u"Display due list"_s);
        QCOMPARE(window.dtpBegin()->date(), monthStart(0));
        QCOMPARE(window.dtpEnd()->date(), monthEnd(0));
        QCOMPARE(window.dueList().PeriodBegin, monthStart(0));
        QCOMPARE(window.dueList().PeriodEnd, monthEnd(0));
        QVERIFY(window.dueList().GroupFilter.isEmpty());
        QCOMPARE(window.DueStatusText(2), u"no group selected"_s);
        // The sample book has due rows in every month from now on.
        const int count = window.dueList().RecordCount();
        QVERIFY(count > 0);
        QCOMPARE(window.aq_Due()->RecordCount(), count);
        QCOMPARE(window.DueStatusText(0), u"Recordcount :"_s + QString::number(count));
        for (int r = 0; r < count; ++r) {
            const QDate date = window.aq_Due()->value(r, 0).toDate();
            QVERIFY(date >= monthStart(0) && date <= monthEnd(0));
        }

        // Back on the definitions: reloaded and on the item that was current.
        openDefinitionsTab(window);
        QCOMPARE(window.findChild<QLabel *>(u"lblTopic"_s)->text(), u"income and expense"_s);
        QCOMPARE(window.findChild<QLabel *>(u"lblTopicDescrib"_s)->text(), u"Definition of income and expense items"_s);
        QCOMPARE(currentId(window), 8);
        QCOMPARE(refreshed.count(), 1);
    }

    void itemChangesRecomputeOnTabSwitch_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("recomputed");
        QTest::newRow("no change") << u"none"_s << false;
        QTest::newRow("new item saved") << u"new"_s << true;
        QTest::newRow("new item cancelled") << u"new cancelled"_s << false;
        QTest::newRow("item edited") << u"edit"_s << true;
        QTest::newRow("item deleted") << u"delete"_s << true;
    }

    void itemChangesRecomputeOnTabSwitch()
    {
        QFETCH(QString, change);
        QFETCH(bool, recomputed);

        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        const int before = window.dueList().RecordCount();
        QVERIFY(before > 1);
        window.grdDueDblClick(1);
        QCOMPARE(window.dueList().rows().at(1).Status, u"Ignore"_s);
        openDefinitionsTab(window);

        QSignalSpy refreshed(&window, &TfrmPaymentListForm::DueListRefreshed);
        int mode = -1;
        QString key;
        window.SetDialogRunner([&](QDialog *dialog) {
            auto *editor = qobject_cast<TfrmPaymentEditForm *>(dialog);
            if (!editor)
                return int(QDialog::Rejected);
            mode = editor->Mode;
            key = editor->KeyValue;
            if (change == u"new cancelled")
                return int(QDialog::Rejected);
            if (change == u"new")
                insertItem(500, u"Bonus"_s, u"77"_s, u"1"_s, QDate::currentDate().toString(Qt::ISODate), u"01"_s, 2);
            else
                dm->adc->Execute(u"update xt_td_Payment set Description='Renamed' where IncID="_s + key);
            return int(QDialog::Accepted);
        });
        MessageRecorder messages;
        if (change.startsWith(u"new"))
            window.SBAddClick();
        if (change == u"edit") {
            window.aq_Data()->setRow(2);
            window.SBEditClick();
            QCOMPARE(mode, 0);
            QCOMPARE(key, u"3"_s);
            QCOMPARE(currentId(window), 3);
        }
        if (change == u"delete") {
            window.grdData()->selectRow(18);
            messages.answer(QMessageBox::Yes);
            window.RzToolButton2Click();
        }
        if (change.startsWith(u"new")) {
            QCOMPARE(mode, 1);
            QCOMPARE(idsInList(window).size(), change == u"new" ? 20 : 19);
            if (change == u"new")
                QCOMPARE(currentId(window), 500);
        }
        QCOMPARE(window.ItemsChanged, recomputed);

        openDueTab(window);
        QCOMPARE(refreshed.count(), recomputed ? 1 : 0);
        QVERIFY(!window.ItemsChanged);
        QCOMPARE(statuses(window).count(u"Ignore"_s), recomputed ? 0 : 1);
        QCOMPARE(window.aq_Due()->value(1, window.aq_Due()->fieldIndex(u"Status"_s)).toString(),
                 recomputed ? u"count"_s : u"Ignore"_s);
        if (change == u"new")
            QCOMPARE(window.dueList().RecordCount(), before + 1);

        // Switching again without a change keeps what is shown.
        openDefinitionsTab(window);
        openDueTab(window);
        QCOMPARE(refreshed.count(), recomputed ? 1 : 0);
    }

    void deleteSelectedItems_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<qint64>>("deleted");
        QTest::addColumn<int>("rowAfter");

        QTest::newRow("three rows, current row kept") << QList<int>({2, 9, 5}) << int(QMessageBox::Yes)
                                                      << QList<qint64>({3, 10, 6}) << 5;
        QTest::newRow("three rows, current row gone") << QList<int>({16, 17, 18}) << int(QMessageBox::Yes)
                                                      << QList<qint64>({17, 18, 19}) << 0;
        QTest::newRow("answer No") << QList<int>({0, 1, 2}) << int(QMessageBox::No) << QList<qint64>() << 2;
    }

    void deleteSelectedItems()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, answer);
        QFETCH(QList<qint64>, deleted);
        QFETCH(int, rowAfter);

        TfrmPaymentListForm window(nullptr, u"0"_s);
        window.setProperty("Hint", u"0201"_s);
        bool first = true;
        for (int row : std::as_const(selected)) {
            window.grdData()->selectRow(row, !first);
            first = false;
        }
        QCOMPARE(window.grdData()->selectedRows(), selected);
        QList<qint64> remaining = idsInBook();
        for (qint64 id : std::as_const(deleted))
            remaining.removeOne(id);

        MessageRecorder messages;
        messages.answer(QMessageBox::StandardButton(answer));
        StatementLog log(dm->adc);
        QVERIFY(log.isValid());
        window.findChild<QToolButton *>(u"RzToolButton2"_s)->click();

        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), u"do you want to delete the record?"_s);
        QCOMPARE(messages.messages().first().caption, u"Message"_s);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QStringList statements;
        for (qint64 id : std::as_const(deleted))
            statements << u"delete from xt_td_Payment where 1=1  and IncID="_s + QString::number(id);
        QCOMPARE(log.startingWith(u"delete"_s), statements);
        QCOMPARE(idsInBook(), remaining);
        QCOMPARE(idsInList(window), remaining);
        QCOMPARE(window.aq_Data()->row(), rowAfter);
        QCOMPARE(window.ItemsChanged, !deleted.isEmpty());
        if (!deleted.isEmpty())
            QCOMPARE(window.grdData()->selectedRows(), QList<int>({rowAfter}));
    }

    void deleteGuards()
    {
        TfrmPaymentListForm window(nullptr, u"0"_s);
        MessageRecorder messages;
        window.grdData()->clearSelection();
        window.RzToolButton2Click();
        QCOMPARE(messages.texts(), QStringList({u"please select the data you want to delete."_s}));
        QCOMPARE(messages.messages().first().caption, u"Message"_s);
        QCOMPARE(idsInBook().size(), 19);
        QVERIFY(!window.ItemsChanged);

        messages.clear();
        window.WhereText = u" and 1=0"_s;
        window.LoadList();
        QCOMPARE(window.StatusText(), u"Record count:0."_s);
        window.RzToolButton2Click();
        QCOMPARE(messages.count(), 0);
    }

    void editFromTheDefinitions()
    {
        TfrmPaymentListForm window(nullptr, u"0"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int runs = 0;
        QString key;
        int mode = -1;
        window.SetDialogRunner([&](QDialog *dialog) {
            ++runs;
            auto *editor = qobject_cast<TfrmPaymentEditForm *>(dialog);
            mode = editor ? editor->Mode : -1;
            key = editor ? editor->KeyValue : QString();
            return int(QDialog::Accepted);
        });
        // A double click on a row opens the editor on that item.
        QTableView *view = window.grdData()->view();
        const QRect rect = view->visualRect(view->model()->index(6, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(runs, 1);
        QCOMPARE(mode, 0);
        QCOMPARE(key, u"7"_s);
        QCOMPARE(currentId(window), 7);
        QVERIFY(window.ItemsChanged);

        window.WhereText = u" and 1=0"_s;
        window.LoadList();
        MessageRecorder messages;
        window.findChild<QToolButton *>(u"SBEdit"_s)->click();
        QCOMPARE(runs, 1);
        QCOMPARE(messages.texts(), QStringList({u"No Data"_s}));
        QCOMPARE(messages.messages().first().caption, u"message"_s);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
    }

    void search()
    {
        TfrmPaymentListForm window(nullptr, u"0"_s);
        QString typed = u"rent"_s;
        bool cancel = false;
        window.SetDialogRunner([&](QDialog *dialog) {
            auto *query = qobject_cast<TfrmPaymentQueryForm *>(dialog);
            if (!query || cancel)
                return int(QDialog::Rejected);
            dialog->show();
            query->edtDescription()->setText(typed);
            query->btnOkClick();
            return query->result();
        });
        window.findChild<QToolButton *>(u"SBPrint"_s)->click();
        QCOMPARE(window.WhereText, u" and Description like '%rent%'"_s);
        QCOMPARE(window.aq_Data()->sql(),
                 u"select * from xt_vd_Payment where 1=1  and Description like '%rent%' order by IncID"_s);
        QCOMPARE(idsInList(window), QList<qint64>({3}));
        QCOMPARE(window.StatusText(), u"Record count:1."_s);

        cancel = true;
        window.SBPrintClick();
        QCOMPARE(idsInList(window), QList<qint64>({3}));

        // The due list is not narrowed by the search.
        openDueTab(window);
        openDefinitionsTab(window);
        QCOMPARE(idsInList(window), QList<qint64>({3}));
    }

    void filterGroup_data()
    {
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("refreshes");

        QTest::newRow("two groups") << QStringList({u"Household"_s, u"Car"_s}) << true
                                    << u" and GroupID in (1,4)"_s << u"selected group:Household,Car"_s << 1;
        QTest::newRow("none ticked removes the filter") << QStringList() << true << QString()
                                                        << u"no group selected"_s << 1;
        QTest::newRow("closed") << QStringList({u"Salary"_s}) << false << u" and GroupID in (2)"_s
                                << u"selected group:Salary"_s << 0;
    }

    void filterGroup()
    {
        QFETCH(QStringList, ticked);
        QFETCH(bool, confirmed);
        QFETCH(QString, filter);
        QFETCH(QString, panel);
        QFETCH(int, refreshes);

        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        const int unfiltered = window.dueList().RecordCount();
        QStringList tick;
        bool confirm = true;
        window.SetDialogRunner([&](QDialog *dialog) {
            auto *groups = qobject_cast<TfrmSelectGroupForm *>(dialog);
            if (!groups)
                return int(QDialog::Rejected);
            dialog->show();
            QTreeWidget *tree = groups->tlGroup();
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                QTreeWidgetItem *node = tree->topLevelItem(i);
                node->setCheckState(TfrmSelectGroupForm::ColSelect,
                                    tick.contains(node->text(TfrmSelectGroupForm::ColGroupName)) ? Qt::Checked
                                                                                                 : Qt::Unchecked);
            }
            if (confirm)
                groups->btnOkClick();
            else
                groups->btnCloseClick();
            return groups->result();
        });
        // Start from a filter on Salary, so that each row changes or keeps one.
        tick = {u"Salary"_s};
        window.btnFilterGroupClick();
        QCOMPARE(window.dueList().GroupFilter, u" and GroupID in (2)"_s);
        const int salaryRows = window.dueList().RecordCount();
        QVERIFY(salaryRows > 0 && salaryRows < unfiltered);

        QSignalSpy refreshed(&window, &TfrmPaymentListForm::DueListRefreshed);
        tick = ticked;
        confirm = confirmed;
        window.findChild<QPushButton *>(u"btnFilterGroup"_s)->click();
        QCOMPARE(refreshed.count(), refreshes);
        QCOMPARE(window.dueList().GroupFilter, filter);
        QCOMPARE(window.DueStatusText(2), panel);
        QCOMPARE(window.DueStatusText(0), u"Recordcount :"_s + QString::number(window.dueList().RecordCount()));

        // Every row shown belongs to an item of the chosen groups.
        Query items(dm->adc);
        dm->RunSql(&items, u"select IncID from xt_td_Payment where 1=1 "_s + filter, 1);
        QSet<QString> allowed;
        for (int r = 0; r < items.RecordCount(); ++r)
            allowed << items.value(r, 0).toString();
        for (const DueRow &row : window.dueList().rows())
            QVERIFY2(allowed.contains(row.PaymentIncID), qPrintable(row.PaymentIncID));
        if (filter.isEmpty())
            QCOMPARE(window.dueList().RecordCount(), unfiltered);
    }

    void editItemOnTheDueTab()
    {
        useMarchItems();
        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        int runs = 0;
        int mode = -1;
        QString key;
        window.SetDialogRunner([&](QDialog *dialog) {
            ++runs;
            auto *editor = qobject_cast<TfrmPaymentEditForm *>(dialog);
            mode = editor ? editor->Mode : -1;
            key = editor ? editor->KeyValue : QString();
            dm->adc->Execute(u"update xt_td_Payment set Amount=450 where IncID="_s + key);
            return int(QDialog::Accepted);
        });

        // Nothing falls due in January 2001: the button does nothing.
        showPeriod(window, QDate(2001, 1, 1), QDate(2001, 1, 31));
        QCOMPARE(window.dueList().RecordCount(), 0);
        QSignalSpy refreshed(&window, &TfrmPaymentListForm::DueListRefreshed);
        MessageRecorder messages;
        window.findChild<QPushButton *>(u"btnEditItem"_s)->click();
        QCOMPARE(runs, 0);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(refreshed.count(), 0);

        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));
        refreshed.clear();
        window.aq_Due()->setRow(1);
        window.findChild<QPushButton *>(u"btnEditItem"_s)->click();
        QCOMPARE(runs, 1);
        QCOMPARE(mode, 0);
        QCOMPARE(key, u"102"_s);
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(cell(window, 1, u"Expense"_s), u"450"_s);
        QCOMPARE(window.edtExpense()->text(), u"650.00"_s);
    }

    void totalsAndIgnoreToggle()
    {
        useMarchItems();
        dm->adc->Execute(u"update xt_td_Payment set Amount=1234567.5 where IncID=101"_s);
        TfrmPaymentListForm window(nullptr, u"0"_s);
        window.resize(900, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        openDueTab(window);

        showPeriod(window, QDate(2001, 1, 1), QDate(2001, 1, 31));
        QCOMPARE(window.edtIncome()->text(), u".00"_s);
        QCOMPARE(window.edtExpense()->text(), u".00"_s);
        QCOMPARE(window.edtEndingBalance()->text(), u".00"_s);
        QCOMPARE(window.DueStatusText(0), u"Recordcount :0"_s);

        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));
        QCOMPARE(window.DueStatusText(0), u"Recordcount :3"_s);
        QStringList shown;
        for (int r = 0; r < 3; ++r)
            shown << cell(window, r, u"Date"_s) + u'|' + cell(window, r, u"Description"_s) + u'|'
                    + cell(window, r, u"Income"_s) + u'|' + cell(window, r, u"Expense"_s) + u'|'
                    + cell(window, r, u"Balance"_s) + u'|' + cell(window, r, u"Status"_s);
        QCOMPARE(shown, QStringList({
                            shortDate(QDate(2030, 3, 1)) + u"|Salary March|1,234,567.5||1,234,567.5|count"_s,
                            shortDate(QDate(2030, 3, 5)) + u"|房租 三月||300|1,234,267.5|count"_s,
                            shortDate(QDate(2030, 3, 20)) + u"|电费 Electricity||200|1,234,067.5|count"_s,
                        }));
        QCOMPARE(window.edtIncome()->text(), u"1,234,567.50"_s);
        QCOMPARE(window.edtExpense()->text(), u"500.00"_s);
        QCOMPARE(window.edtEndingBalance()->text(), u"1,234,067.50"_s);

        const int status = dueColumn(window, u"Status"_s);
        QColor background, text;
        doubleClickDueRow(window, 1);
        QCOMPARE(cell(window, 1, u"Status"_s), u"Ignore"_s);
        QCOMPARE(window.edtEndingBalance()->text(), u"1,234,367.50"_s);
        QCOMPARE(window.edtIncome()->text(), u"1,234,567.50"_s);
        QCOMPARE(window.edtExpense()->text(), u"500.00"_s);
        QCOMPARE(cell(window, 1, u"Balance"_s), u"1,234,267.5"_s);
        window.grdDue()->cellColours(1, status, background, text);
        QCOMPARE(background, Alert);

        doubleClickDueRow(window, 1);
        QCOMPARE(cell(window, 1, u"Status"_s), u"count"_s);
        QCOMPARE(window.edtEndingBalance()->text(), u"1,234,067.50"_s);
        window.grdDue()->cellColours(1, status, background, text);
        QCOMPARE(background, Selected);

        // An income row toggled lowers the ending balance by its amount.
        doubleClickDueRow(window, 0);
        QCOMPARE(window.edtEndingBalance()->text(), u"-500.00"_s);
    }

    void cellColours()
    {
        useMarchItems();
        insertItem(104, u"Correction"_s, u"-25"_s, u"0"_s, u"2030-03-25"_s, u"01"_s, 1);
        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));

        // Definitions: the current row is highlighted, a negative amount shows red.
        DataGrid *data = window.grdData();
        const int amount = data->columnByField(u"Amount"_s);
        const int description = data->columnByField(u"Description"_s);
        QCOMPARE(data->column(amount).caption, u"Amount"_s);
        const int negative = int(idsInList(window).indexOf(104));
        const int positive = int(idsInList(window).indexOf(101));
        data->selectRow(negative);
        QColor background, text;
        data->cellColours(negative, amount, background, text);
        QCOMPARE(background, Selected);
        QCOMPARE(text, Alert);
        data->cellColours(negative, description, background, text);
        QCOMPARE(background, Selected);
        QCOMPARE(text, QColor(Qt::black));
        data->cellColours(positive, amount, background, text);
        QVERIFY(!background.isValid() && !text.isValid());

        // Due list: income amounts red, an ignored status on red even when selected.
        DataGrid *due = window.grdDue();
        const int income = dueColumn(window, u"Income"_s);
        const int expense = dueColumn(window, u"Expense"_s);
        const int status = dueColumn(window, u"Status"_s);
        due->selectRow(1);
        due->cellColours(0, income, background, text);
        QVERIFY(!background.isValid());
        QCOMPARE(text, Alert);
        due->cellColours(1, income, background, text);
        QCOMPARE(background, Selected);
        QCOMPARE(text, QColor(Qt::black));
        due->cellColours(1, expense, background, text);
        QCOMPARE(text, QColor(Qt::black));
        window.grdDueDblClick(1);
        due->cellColours(1, status, background, text);
        QCOMPARE(background, Alert);
        QCOMPARE(text, QColor(Qt::black));
        due->cellColours(0, status, background, text);
        QVERIFY(!background.isValid());
    }

    void pickersSetFromCodeComputeOnce_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("months");
        QTest::addColumn<bool>("clearsItemsChanged");

        QTest::newRow("prior year") << u"btnYearPrior"_s << -12 << false;
        QTest::newRow("prior month") << u"btnMonthPrior"_s << -1 << false;
        QTest::newRow("this month") << u"btnThisMonth"_s << 0 << true;
        QTest::newRow("next month") << u"btnMonthNext"_s << 1 << false;
        QTest::newRow("next year") << u"btnYearNext"_s << 12 << false;
    }

    void pickersSetFromCodeComputeOnce()
    {
        QFETCH(QString, button);
        QFETCH(int, months);
        QFETCH(bool, clearsItemsChanged);

        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        if (button == u"btnThisMonth")
            window.btnMonthNextClick();
        QSignalSpy refreshed(&window, &TfrmPaymentListForm::DueListRefreshed);
        window.ItemsChanged = true;
        window.findChild<QToolButton *>(button)->click();
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(window.dtpBegin()->date(), monthStart(months));
        QCOMPARE(window.dtpEnd()->date(), monthEnd(months));
        QCOMPARE(window.dueList().PeriodBegin, monthStart(months));
        QCOMPARE(window.dueList().PeriodEnd, monthEnd(months));
        QCOMPARE(window.ItemsChanged, !clearsItemsChanged);

        // A change of one picker by the user computes once for the new period.
        refreshed.clear();
        window.dtpBegin()->setDate(monthStart(months).addDays(9));
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(window.dueList().PeriodBegin, monthStart(months).addDays(9));
        for (const DueRow &row : window.dueList().rows())
            QVERIFY(row.Date >= monthStart(months).addDays(9));
        window.dtpEnd()->setDate(monthStart(months).addDays(19));
        QCOMPARE(refreshed.count(), 2);
        QCOMPARE(window.dueList().PeriodEnd, monthStart(months).addDays(19));
    }

    void exportWritesXls_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");

        QTest::newRow("bare name") << u"march"_s << u"march.xls"_s;
        QTest::newRow("name with .xls") << u"march.xls"_s << u"march.xls"_s;
        QTest::newRow("upper-case extension") << u"March.XLS"_s << u"March.XLS"_s;
        QTest::newRow("other extension") << u"march.txt"_s << u"march.txt.xls"_s;
    }

    void exportWritesXls()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);

        useMarchItems();
        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));
        window.grdDueDblClick(2);

        QTemporaryDir out;
        QString filter;
        window.SetSaveFileChooser([&](QWidget *, const QString &f) {
            filter = f;
            return out.filePath(chosen);
        });
        MessageRecorder messages;
        window.findChild<QPushButton *>(u"btnExport"_s)->click();
        QCOMPARE(filter, u"Excel(*.xls)"_s);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList({written}));

        if (m_python.isEmpty())
            QSKIP("python3 with the xlrd module is needed to read the file back (Debian package python3-xlrd)");
        QJsonObject book;
        QVERIFY(readXls(out.filePath(written), &book));
        const QJsonArray sheets = book.value(u"sheets"_s).toArray();
        QCOMPARE(sheets.size(), 1);
        const QJsonArray rows = sheets.at(0).toObject().value(u"rows"_s).toArray();
        auto text = [](const QString &v) { return QJsonObject{{u"t"_s, u"text"_s}, {u"v"_s, v}}; };
        auto number = [](double v) { return QJsonObject{{u"t"_s, u"number"_s}, {u"v"_s, v}}; };
        auto date = [](const QString &v) { return QJsonObject{{u"t"_s, u"date"_s}, {u"v"_s, v}}; };
        auto plain = [](const QJsonValue &v) {
            QJsonObject o = v.toObject();
            o.remove(u"bold"_s);
            return o;
        };
        QStringList header;
        for (const QJsonValue &v : rows.at(0).toArray())
            header << v.toObject().value(u"v"_s).toString();
        QCOMPARE(header, QStringList({u"Date"_s, u"Description"_s, u"Income"_s, u"Expense"_s, u"Balance"_s,
                                      u"Status"_s}));
        const QList<QList<QJsonObject>> expected{
            {date(u"2030-03-01"_s), text(u"Salary March"_s), number(1000), number(0), number(1000), text(u"count"_s)},
            {date(u"2030-03-05"_s), text(u"房租 三月"_s), number(0), number(300), number(700), text(u"count"_s)},
            {date(u"2030-03-20"_s), text(u"电费 Electricity"_s), number(0), number(200), number(500),
             text(u"Ignore"_s)},
        };
        QCOMPARE(rows.size(), expected.size() + 1);
        for (int r = 0; r < expected.size(); ++r) {
            const QJsonArray cells = rows.at(r + 1).toArray();
            QCOMPARE(cells.size(), expected.at(r).size());
            for (int c = 0; c < cells.size(); ++c)
                QCOMPARE(plain(cells.at(c)), expected.at(r).at(c));
        }
    }

    void exportCancelledOrFailing()
    {
        useMarchItems();
        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));
        QTemporaryDir out;
        MessageRecorder messages;

        window.SetSaveFileChooser([](QWidget *, const QString &) { return QString(); });
        window.btnExportClick();
        QCOMPARE(messages.count(), 0);
        QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());

        const QString missing = out.filePath(u"no such folder/march"_s);
        window.SetSaveFileChooser([&](QWidget *, const QString &) { return missing; });
        window.btnExportClick();
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.lastText().startsWith(u"The due list could not be exported to "_s));
        QVERIFY(messages.lastText().contains(QDir::toNativeSeparators(missing + u".xls"_s)));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Warning);
        QVERIFY(!QFile::exists(missing + u".xls"_s));
    }

    void printHandsTheDisplayedValues()
    {
        useMarchItems();
        QString html;
        int prints = 0;
        TFrmReportForm::SetPreviewHook([&](QTextDocument &, const QString &h) {
            ++prints;
            html = h;
        });
        TfrmPaymentListForm window(nullptr, u"0"_s);
        openDueTab(window);
        showPeriod(window, QDate(2030, 3, 1), QDate(2030, 3, 31));
        window.grdDueDblClick(1);
        window.findChild<QPushButton *>(u"btnPrint"_s)->click();
        QCOMPARE(prints, 1);

        auto memo = [&html](const QString &id) {
            const QRegularExpression re(u"id=\"%1\"[^>]*>([^<]*)<"_s.arg(id));
            return re.match(html).captured(1);
        };
        QCOMPARE(memo(u"memCaption"_s), u"Due List"_s);
        QCOMPARE(memo(u"memAccount"_s), u"Sample"_s);
        QCOMPARE(memo(u"memDate"_s), (shortDate(QDate(2030, 3, 1)) + u" to "_s + shortDate(QDate(2030, 3, 31))).toHtmlEscaped());
        QCOMPARE(memo(u"memCharge"_s), u"1,000.00"_s);
        QCOMPARE(memo(u"memPayment"_s), u"500.00"_s);
        QCOMPARE(memo(u"memEndValue"_s), u"800.00"_s);
        // Rows in date order, the ignored one included.
        const qsizetype salary = html.indexOf(u"Salary March"_s);
        const qsizetype rent = html.indexOf(u"房租 三月"_s);
        const qsizetype power = html.indexOf(u"电费 Electricity"_s);
        QVERIFY(salary > 0 && salary < rent && rent < power);
        QVERIFY(html.contains(u"Ignore"_s));
        QCOMPARE(window.DisplayedDueRows().size(), 3);
        QCOMPARE(window.DisplayedDueRows().at(1).Status, u"Ignore"_s);
    }

    void closeFreesTheWindow()
    {
        QPointer<TfrmPaymentListForm> window = new TfrmPaymentListForm(nullptr, u"0"_s);
        window->show();
        window->findChild<QToolButton *>(u"RzToolButton3"_s)->click();
        QTRY_VERIFY(window.isNull());
    }
};

QTEST_MAIN(TestPaymentList)
#include "tst_paymentlist.moc"
