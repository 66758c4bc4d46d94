#include "CurrentAccount.h"
#include "DisplayFormat.h"
#include "DueSchedule.h"
#include "IniFile.h"
#include "ProgramDir.h"
#include "Report.h"
#include "SetCaptionForm.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using Table = QList<QStringList>;

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::Nbsp,
                                                                                               QLatin1Char(' '));
}

// What one preview received, read out while the document was alive.
struct Printed
{
    int count = 0;
    QString html;
    QString documentTitle;
    QList<Table> tables;

    // The table whose first row is exactly firstRow.
    Table tableStartingWith(const QStringList &firstRow) const
    {
        for (const Table &t : tables)
            if (!t.isEmpty() && t.first() == firstRow)
                return t;
        return {};
    }
    // The cell beginning with label, without the label.
    QString labelled(const QString &label) const
    {
        for (const Table &t : tables)
            for (const QStringList &row : t)
                for (const QString &cell : row)
                    if (cell.startsWith(label))
                        return cell.mid(label.size());
        return u"<no cell>"_s;
    }
    // The cell right of the cell that reads label, in the totals block.
    QString totalOf(const QString &label) const
    {
        for (const Table &t : tables)
            for (const QStringList &row : t) {
                const qsizetype i = row.indexOf(label);
                if (i >= 0 && i + 1 < row.size() && row.last() != u"Status")
                    return row.at(i + 1);
            }
        return u"<no total>"_s;
    }
    QString title() const { return tables.isEmpty() ? u"<no table>"_s : tables.first().value(0).value(0); }
};

const QStringList dueHeader{u"Date"_s, u"Description"_s, u"Income"_s, u"Expense"_s, u"Balance"_s, u"Status"_s};

QString appIni()
{
    return ProgramDir() + u"ini/app.ini"_s;
}

void writeFile(const QString &fileName, const QByteArray &content)
{
    QFile f(fileName);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readFile(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

PaymentItem item(qint64 id, const QString &description, const QString &amount, const QString &type, QDate begin,
                 const QString &frequency)
{
    PaymentItem p;
    p.IncID = id;
    p.Description = description;
    p.Amount = Money::fromString(amount);
    p.Type = type;
    p.DateBegin = begin;
    p.HasEnd = u"0"_s;
    p.FrequencyID = frequency;
    return p;
}

// A March due list with an income, a Chinese expense, a weekly expense whose
// description carries markup, and a description that looks like a placeholder.
DueList marchDueList()
{
    static const FrequencyRule once{0, QString(), u"1"_s};
    static const FrequencyRule weekly{1, u"W"_s, QString()};
    DueList list;
    list.PeriodBegin = QDate(2024, 3, 1);
    list.PeriodEnd = QDate(2024, 3, 31);
    const QList<PaymentItem> items{
        item(3, u"<b>Shop</b> & co"_s, u"120.35"_s, u"0"_s, QDate(2024, 3, 5), u"W"_s),
        item(1, u"Salary March"_s, u"4250"_s, u"1"_s, QDate(2024, 3, 1), u"1"_s),
        item(2, u"房租 三月"_s, u"1800"_s, u"0"_s, QDate(2024, 3, 3), u"1"_s),
        item(4, u"{Balance}  two  blanks"_s, u"10"_s, u"0"_s, QDate(2024, 3, 20), u"1"_s),
    };
    list.Build(items, [](const PaymentItem &p) { return p.FrequencyID == u"W" ? &weekly : &once; });
    return list;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private:
    void print(const QList<DueRow> &rows = {}, const QString &period = u"3/1/24 to 3/31/24"_s,
               const QString &income = u"4,250.00"_s, const QString &expense = u"2,291.40"_s,
               const QString &ending = u"1,958.60"_s)
    {
        TFrmReportForm::Print(nullptr, rows, period, income, expense, ending);
    }

    Printed m_printed;

private Q_SLOTS:
    void init()
    {
        m_printed = Printed();
        TFrmReportForm::SetPreviewHook([this](QTextDocument &document, const QString &html) {
            ++m_printed.count;
            m_printed.html = html;
            m_printed.documentTitle = document.metaInformation(QTextDocument::DocumentTitle);
            const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
            for (QTextFrame *frame : frames) {
                auto *table = qobject_cast<QTextTable *>(frame);
                if (!table)
                    continue;
                Table t;
                for (int r = 0; r < table->rows(); ++r) {
                    QStringList row;
                    for (int c = 0; c < table->columns(); ++c)
                        row << cellText(table, r, c);
                    t << row;
                }
                m_printed.tables << t;
            }
        });
    }

    void cleanup()
    {
        TFrmReportForm::SetPreviewHook({});
        ClearCurrentAccount();
    }

    void titleSavedInDialogIsPrintedNext()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        MessageRecorder messages;

        TfrmSetCaptionForm dialog;
        QCOMPARE(dialog.windowTitle(), u"Set Report Caption"_s);
        dialog.show();
        auto *edit = dialog.findChild<QLineEdit *>(u"edtCaption"_s);
        QVERIFY(edit);
        QCOMPARE(edit->text(), u"Due List"_s);
        edit->clear();
        QTest::keyClicks(edit, u"Household 2011"_s);
        auto *save = dialog.findChild<QPushButton *>(u"btnSave"_s);
        QVERIFY(save);
        QCOMPARE(save->text(), u"Save Setting"_s);
        QTest::mouseClick(save, Qt::LeftButton);

        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), u"Operation is successful"_s);
        QCOMPARE(messages.messages().first().caption, u"Message"_s);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        const QString stored = QString::fromUtf8(readFile(appIni()));
        QVERIFY2(stored.contains(u"[Appname]"_s), qPrintable(stored));
        QVERIFY2(stored.contains(u"ReportTitle=Household 2011"_s), qPrintable(stored));

        print();
        QCOMPARE(m_printed.count, 1);
        QCOMPARE(m_printed.title(), u"Household 2011"_s);
        QCOMPARE(m_printed.documentTitle, u"Household 2011"_s);

        TfrmSetCaptionForm again;
        again.show();
        QCOMPARE(again.findChild<QLineEdit *>(u"edtCaption"_s)->text(), u"Household 2011"_s);
    }

    void printedTitle_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("title");
        QTest::newRow("no settings file") << QByteArray() << u"Due List"_s;
        QTest::newRow("no title key") << QByteArray("[AppName]\r\nUpdateIP=10.0.0.1\r\n") << u"Due List"_s;
        QTest::newRow("title in another section") << QByteArray("[Other]\r\nReportTitle=Elsewhere\r\n")
                                                  << u"Due List"_s;
        QTest::newRow("empty title stays empty") << QByteArray("[Appname]\r\nReportTitle=\r\n") << QString();
        QTest::newRow("section name in other case") << QByteArray("[APPNAME]\r\nreporttitle=Mine\r\n") << u"Mine"_s;
        QTest::newRow("chinese title") << QByteArray("[Appname]\r\nReportTitle=家庭收支 2011\r\n")
                                       << u"家庭收支 2011"_s;
    }

    void printedTitle()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, title);
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        if (!ini.isEmpty())
            writeFile(appIni(), ini);

        print();
        QCOMPARE(m_printed.count, 1);
        QCOMPARE(m_printed.title(), title);
        QCOMPARE(TFrmReportForm::ReportTitle(), title);
    }

    void headerAndTotalsShowTheHandedTexts()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        CurrentAccountName = u"Home & <Family>"_s;
        DueList list = marchDueList();
        list.ToggleIgnore(1);
        const QString income = FormatFloat(u"#,###.00"_s, list.Income());
        const QString expense = FormatFloat(u"#,###.00"_s, list.Expense());
        const QString ending = FormatFloat(u"#,###.00"_s, list.EndingBalance());
        QVERIFY(ending != FormatFloat(u"#,###.00"_s, list.Income() - list.Expense()));

        print(list.rows(), u"3/1/24 to 3/31/24"_s, income, expense, ending);
        QCOMPARE(m_printed.labelled(u"Account: "_s), u"Home & <Family>"_s);
        QCOMPARE(m_printed.labelled(u"Period: "_s), u"3/1/24 to 3/31/24"_s);
        QCOMPARE(m_printed.totalOf(u"Income"_s), income);
        QCOMPARE(m_printed.totalOf(u"Expense"_s), expense);
        QCOMPARE(m_printed.totalOf(u"Ending balance"_s), ending);
        QVERIFY(!m_printed.html.contains(u"<Family>"_s));
    }

    void everyRowPrintedInOrderAsStored()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        DueList list = marchDueList();
        list.ToggleIgnore(2);
        QCOMPARE(list.RecordCount(), 7);

        print(list.rows());
        const Table due = m_printed.tableStartingWith(dueHeader);
        QCOMPARE(due.size(), list.RecordCount() + 1);
        for (int i = 0; i < list.RecordCount(); ++i) {
            const DueRow &r = list.rows().at(i);
            const QStringList expected{QLocale().toString(r.Date, QLocale::ShortFormat), r.Description,
                                       FormatFloat(u"#,###.##"_s, r.Charge), FormatFloat(u"#,###.##"_s, r.Payment),
                                       FormatFloat(u"#,###.##"_s, r.Balance), r.Status};
            QCOMPARE(due.at(i + 1), expected);
        }
        QCOMPARE(due.at(3).at(5), u"Ignore"_s);
        QCOMPARE(due.at(1).at(1), u"Salary March"_s);
        QCOMPARE(due.at(2).at(1), u"房租 三月"_s);
        QCOMPARE(due.at(3).at(1), u"<b>Shop</b> & co"_s);
        QVERIFY(!m_printed.html.contains(u"<b>Shop"_s));
        QVERIFY(m_printed.html.contains(u"&lt;b&gt;Shop&lt;/b&gt; &amp; co"_s));
    }

    void emptyListPrintsHeaderOnly()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        print({}, u"1/1/24 to 1/31/24"_s, QString(), QString(), QString());
        QCOMPARE(m_printed.count, 1);
        QCOMPARE(m_printed.tableStartingWith(dueHeader).size(), 1);
        QVERIFY(!m_printed.html.contains(u">{Date}<"_s));
        QVERIFY(!m_printed.html.contains(u"id=\"rowTemplate\""_s));
    }

    void renderReplacesOnlyTheNamedElements()
    {
        const QString tmpl = u"<p data-id=\"memCaption\">keep</p><p id=\"memCaption\">design</p>"
                             "<span id='memDate'>x</span><table><tr id=\"rowTemplate\" class=\"r\"><td>{Status}</td>"
                             "<td>{Unknown}</td><td>{Description}</td></tr></table>"_s;
        DueRow a;
        a.Status = u"count"_s;
        a.Description = u"{Status}"_s;
        DueRow b = a;
        b.Status = u"Ignore"_s;
        const QString html = RenderDueReport(tmpl, {u"T"_s, u"A"_s, u"P"_s, {}, {}, {}}, {a, b});
        QCOMPARE(html, u"<p data-id=\"memCaption\">keep</p><p id=\"memCaption\">T</p><span id='memDate'>P</span>"
                       "<table><tr class=\"r\"><td>count</td><td>{Unknown}</td><td>{Status}</td></tr>\n"
                       "<tr class=\"r\"><td>Ignore</td><td>{Unknown}</td><td>{Status}</td></tr>\n</table>"_s);
    }

    void missingTemplateIsReportedAndNothingPreviewed()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::remove(TFrmReportForm::TemplateFileName()));
        MessageRecorder messages;

        print(marchDueList().rows());
        QCOMPARE(m_printed.count, 0);
        QCOMPARE(messages.count(), 1);
        const MessageRequest &m = messages.messages().first();
        QCOMPARE(m.text, u"load file failure"_s);
        QCOMPARE(m.caption, u"error"_s);
        QCOMPARE(m.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void closeWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("no settings file") << QByteArray();
        QTest::newRow("title stored") << QByteArray("[Appname]\r\nReportTitle=Kept\r\n");
    }

    void closeWritesNothing()
    {
        QFETCH(QByteArray, ini);
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        if (!ini.isEmpty())
            writeFile(appIni(), ini);
        MessageRecorder messages;

        TfrmSetCaptionForm dialog;
        dialog.show();
        auto *edit = dialog.findChild<QLineEdit *>(u"edtCaption"_s);
        edit->setText(u"Changed"_s);
        auto *close = dialog.findChild<QPushButton *>(u"btnClose"_s);
        QCOMPARE(close->text(), u"&Close"_s);
        QTest::mouseClick(close, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(QFile::exists(appIni()), !ini.isEmpty());
        QCOMPARE(readFile(appIni()), ini);
    }

    void failedSaveIsNotReportedAsSuccess()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(ProgramDir() + u"ini"_s).removeRecursively());
        MessageRecorder messages;

        TfrmSetCaptionForm dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnSave"_s), Qt::LeftButton);

        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.lastText() != u"Operation is successful"_s);
        QVERIFY(messages.lastText().contains(u"app.ini"_s));
        QVERIFY(dialog.isVisible());
    }

    void previewSavesAsPdf()
    {
        TempProgramDir dir;
        QVERIFY(dir.isValid());
        TFrmReportForm::SetPreviewHook({});
        QTemporaryDir out;
        TFrmReportForm::SetPdfFileChooser([&out](QWidget *) { return out.filePath(u"due"_s); });
        QStringList toolbarActions;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            const QList<QWidget *> windows = QApplication::topLevelWidgets();
            for (QWidget *w : windows) {
                auto *preview = qobject_cast<QPrintPreviewDialog *>(w);
                if (!preview || !preview->isVisible())
                    continue;
                closer.stop();
                if (auto *bar = preview->findChild<QToolBar *>())
                    for (QAction *a : bar->actions())
                        toolbarActions << a->objectName();
                if (auto *save = preview->findChild<QAction *>(u"actSavePdf"_s))
                    save->trigger();
                preview->reject();
            }
        });
        closer.start(10);

        print(marchDueList().rows());
        TFrmReportForm::SetPdfFileChooser({});
        QVERIFY(toolbarActions.contains(u"actSavePdf"_s));
        QVERIFY(readFile(out.filePath(u"due.pdf"_s)).startsWith("%PDF-"));
    }

    void savePdfWritesAnA4Document()
    {
        QTemporaryDir out;
        const QString fileName = out.filePath(u"due.pdf"_s);
        writeFile(fileName, "stale");
        QTextDocument document;
        document.setHtml(u"<h1>Due List</h1><p>房租</p>"_s);
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());

        QVERIFY(TFrmReportForm::SavePdf(document, a4, fileName));
        const QByteArray pdf = readFile(fileName);
        QVERIFY(pdf.startsWith("%PDF-"));
        // A4 in points, as the page's media box.
        QVERIFY(pdf.contains("/MediaBox [0 0 595"));
        QVERIFY(!TFrmReportForm::SavePdf(document, a4, out.filePath(u"missing/folder/due.pdf"_s)));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
