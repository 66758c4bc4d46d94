#include "DataGrid.h"
#include "DataGridModel.h"
#include "Money.h"
#include "Query.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

enum Col { Id, Name, Amount, Rate, Paid, Due };

QList<Field> testFields()
{
    return {Field{u"IncID"_s, FieldType::Integer, u"INTEGER"_s},  Field{u"Description"_s, FieldType::Text, u"VARCHAR(50)"_s},
            Field{u"Amount"_s, FieldType::Money, u"CURRENCY"_s}, Field{u"Rate"_s, FieldType::Float, u"REAL"_s},
            Field{u"Paid"_s, FieldType::Boolean, u"BOOLEAN"_s},  Field{u"DateBegin"_s, FieldType::Date, u"DATE"_s}};
}

// Ten rows: ids 1..10, amounts of 0.10 each except row 3 (-25.50), rates 0.1 each.
void fill(Query &q)
{
    q.CreateDataSet(testFields());
    QList<QVector<QVariant>> rows;
    for (int i = 1; i <= 10; ++i) {
        const Money amount = i == 3 ? Money::fromString(u"-25.50"_s) : Money::fromString(u"0.10"_s);
        rows << QVector<QVariant>{qlonglong(i), u"Item %1"_s.arg(i), QVariant::fromValue(amount), 0.1, i % 2 == 0,
                                  QDate(2024, 1, i)};
    }
    q.SetRecords(rows);
}

QPoint rowPoint(const DataGrid &grid, int row)
{
    return grid.view()->visualRect(grid.view()->model()->index(row, Name)).center();
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void columnsFollowFieldsInOrder();
    void buildReplacesColumnsOnlyWhenAsked();
    void sumsOnlyForNumericFields();
    void moneySumIsExact();
    void footerFollowsDataAndFormat();
    void displayText_data();
    void displayText();
    void selectionSingleAndMulti();
    void widthChangeReportedOnceOnRelease();
    void headerClickAndDoubleClick();
    void cellColours();
    void selectedRowIsPaintedInSelectionColour();
    void currentRowFollowsBothWays();
    void hiddenColumnKeepsWidthAcrossReset();
    void textSortIgnoresCase();
};

void TestDataGrid::columnsFollowFieldsInOrder()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    QCOMPARE(grid.columnCount(), 6);
    for (int c = 0; c < grid.columnCount(); ++c) {
        QCOMPARE(grid.column(c).fieldName, q.field(c).name);
        QCOMPARE(grid.column(c).caption, q.field(c).name);
        QCOMPARE(grid.columnWidth(c), DataGrid::DefaultColumnWidth);
        QVERIFY(grid.columnVisible(c));
    }
    QCOMPARE(grid.view()->model()->rowCount(), 10);
    QCOMPARE(grid.columnByField(u"Amount"_s), int(Amount));
    QCOMPARE(grid.columnByField(u"amount"_s), -1);
    // The grid never edits in place.
    QVERIFY(!(grid.view()->model()->flags(grid.view()->model()->index(0, Name)) & Qt::ItemIsEditable));
}

void TestDataGrid::buildReplacesColumnsOnlyWhenAsked()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.setAutoColumns(false);
    grid.setColumnCaption(Amount, u"Sum"_s);

    q.CreateDataSet({Field{u"Other"_s, FieldType::Text, {}}});
    QCOMPARE(grid.columnCount(), 6);
    QCOMPARE(grid.column(Amount).caption, u"Sum"_s);
    QCOMPARE(grid.cellText(0, Amount), QString());

    grid.buildColumns();
    QCOMPARE(grid.columnCount(), 1);
    QCOMPARE(grid.column(0).fieldName, u"Other"_s);

    grid.clearColumns();
    QCOMPARE(grid.columnCount(), 0);
    QCOMPARE(grid.view()->model()->columnCount(), 0);
}

void TestDataGrid::sumsOnlyForNumericFields()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    const QList<GridSummary> expected = {GridSummary::Sum, GridSummary::None, GridSummary::Sum,
                                         GridSummary::Sum, GridSummary::None, GridSummary::None};
    for (int c = 0; c < grid.columnCount(); ++c) {
        QCOMPARE(grid.column(c).summary, expected.at(c));
        QCOMPARE(grid.footerText(c).isEmpty(), expected.at(c) == GridSummary::None);
    }
    QCOMPARE(grid.footerValue(Id).toLongLong(), 55);
    QCOMPARE(grid.footerText(Id), u"55"_s);
}

void TestDataGrid::moneySumIsExact()
{
    Query q;
    q.CreateDataSet({Field{u"Amount"_s, FieldType::Money, u"CURRENCY"_s}, Field{u"Rate"_s, FieldType::Float, {}}});
    QList<QVector<QVariant>> rows;
    for (int i = 0; i < 1000; ++i)
        rows << QVector<QVariant>{QVariant::fromValue(Money::fromString(u"0.01"_s)), 0.01};
    rows << QVector<QVariant>{QVariant(), QVariant()};
    q.SetRecords(rows);
    DataGrid grid;
    grid.setDataSet(&q);
    // A thousand cents summed in double miss 10.00; the money sum does not.
    QCOMPARE(grid.footerValue(0).value<Money>(), Money::fromUnits(10 * Money::Scale));
    QCOMPARE(grid.footerText(0), u"10.00"_s);
    grid.setColumnFormat(0, u"#,###.0000"_s);
    QCOMPARE(grid.footerText(0), u"10.0000"_s);
}

void TestDataGrid::footerFollowsDataAndFormat()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    QCOMPARE(grid.footerText(Amount), u"-24.60"_s);
    q.setStoredValue(2, Amount, QVariant::fromValue(Money::fromString(u"1234.40"_s)));
    QCOMPARE(grid.footerText(Amount), u"1,235.30"_s);
    grid.setColumnFormat(Amount, u"#,###.##"_s);
    QCOMPARE(grid.footerText(Amount), u"1,235.3"_s);
    // A new order keeps the sums; new rows of the same count replace them.
    q.setSort(u"Amount DESC "_s);
    QCOMPARE(grid.footerText(Amount), u"1,235.3"_s);
    QList<QVector<QVariant>> rows;
    for (int i = 0; i < 10; ++i)
        rows << QVector<QVariant>{qlonglong(i), QString(), QVariant::fromValue(Money::fromString(u"2"_s)), 0.0, false,
                                  QDate()};
    q.SetRecords(rows);
    QCOMPARE(grid.footerText(Amount), u"20"_s);
    QCOMPARE(grid.footerText(Id), u"45"_s);

    auto *footer = grid.findChild<QWidget *>(u"footer"_s);
    QVERIFY(footer);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QVERIFY(!footer->isVisible());
    grid.setFooterVisible(true);
    QVERIFY(footer->isVisible());

    // The footer cells stay under their columns through resizing and horizontal scrolling.
    grid.resize(300, 300);
    QTest::qWait(20);
    QHeaderView *header = grid.view()->horizontalHeader();
    const auto underColumn = [&](int c) {
        const QRect cell = grid.footerCellRect(c);
        const QPoint headerLeft = header->viewport()->mapTo(&grid, QPoint(header->sectionViewportPosition(c), 0));
        const QPoint footerLeft = footer->mapTo(&grid, cell.topLeft());
        return cell.width() == header->sectionSize(c) && footerLeft.x() == headerLeft.x();
    };
    QVERIFY(underColumn(Amount));
    grid.setColumnWidth(Id, 160);
    QVERIFY(underColumn(Amount));
    const int before = grid.footerCellRect(Amount).left();
    grid.view()->horizontalScrollBar()->setValue(70);
    QCOMPARE(grid.footerCellRect(Amount).left(), before - 70);
    QVERIFY(underColumn(Amount));
    grid.setColumnVisible(Rate, false);
    QVERIFY(grid.footerCellRect(Rate).isEmpty());

    grid.setFooterVisible(false);
    QVERIFY(!footer->isVisible());
}

void TestDataGrid::displayText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    const auto money = [](const char *t) { return QVariant::fromValue(Money::fromString(QLatin1String(t))); };
    QTest::newRow("money default") << money("1234.5") << int(FieldType::Money) << QString() << u"1,234.50"_s;
    QTest::newRow("money pattern") << money("1234.5") << int(FieldType::Money) << u"#,###.##"_s << u"1,234.5"_s;
    QTest::newRow("money zero empty") << money("0") << int(FieldType::Money) << u"#,###.##"_s << QString();
    QTest::newRow("money negative") << money("-7.125") << int(FieldType::Money) << u"#,###.00"_s << u"-7.13"_s;
    QTest::newRow("money held as double") << QVariant(99.5) << int(FieldType::Money) << QString() << u"99.50"_s;
    QTest::newRow("integer plain") << QVariant(qlonglong(1234567)) << int(FieldType::Integer) << QString() << u"1234567"_s;
    QTest::newRow("integer pattern") << QVariant(qlonglong(1234567)) << int(FieldType::Integer) << u"#,###"_s
                                     << u"1,234,567"_s;
    QTest::newRow("float plain") << QVariant(0.1 + 0.2) << int(FieldType::Float) << QString() << u"0.3"_s;
    QTest::newRow("float pattern") << QVariant(2.5) << int(FieldType::Float) << u"#.00"_s << u"2.50"_s;
    QTest::newRow("boolean") << QVariant(true) << int(FieldType::Boolean) << QString() << u"True"_s;
    QTest::newRow("text") << QVariant(u"abc"_s) << int(FieldType::Text) << u"#,###.##"_s << u"abc"_s;
    QTest::newRow("null") << QVariant() << int(FieldType::Money) << QString() << QString();
    const QDate d(2025, 3, 9);
    const QString shortDate = QLocale().toString(d, QLocale::ShortFormat);
    QTest::newRow("date short") << QVariant(d) << int(FieldType::Date) << u"short date"_s << shortDate;
    QTest::newRow("date default") << QVariant(d) << int(FieldType::Date) << QString() << shortDate;
    QTest::newRow("datetime midnight") << QVariant(d.startOfDay()) << int(FieldType::DateTime) << QString() << shortDate;
}

void TestDataGrid::displayText()
{
    QFETCH(QVariant, value);
    QFETCH(int, type);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(DataGridModel::displayText(value, FieldType(type), format), expected);
}

void TestDataGrid::selectionSingleAndMulti()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QWidget *viewport = grid.view()->viewport();
    grid.setColumnVisible(Rate, false);

    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, rowPoint(grid, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowPoint(grid, 4));
    QCOMPARE(grid.selectedRows(), QList<int>{4});
    // The whole row is selected, hidden columns included.
    QVERIFY(grid.view()->selectionModel()->isSelected(grid.view()->model()->index(4, Rate)));
    QVERIFY(grid.view()->selectionModel()->isSelected(grid.view()->model()->index(4, Due)));

    grid.setMultiSelect(true);
    QCOMPARE(grid.selectedRows(), QList<int>{4});
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowPoint(grid, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowPoint(grid, 7));
    QCOMPARE(grid.selectedRows(), (QList<int>{4, 1, 7}));
    QCOMPARE(q.row(), 7);
    // Moving the data set over selected rows keeps the selection; elsewhere it selects the new row.
    q.setRow(1);
    QCOMPARE(grid.view()->currentIndex().row(), 1);
    QCOMPARE(grid.selectedRows(), (QList<int>{4, 1, 7}));
    q.setRow(9);
    QCOMPARE(grid.selectedRows(), QList<int>{9});
    grid.selectAll();
    QCOMPARE(grid.selectedRows().size(), 10);

    grid.clearSelection();
    QVERIFY(grid.selectedRows().isEmpty());

    grid.selectRow(2);
    grid.selectRow(5, true);
    QCOMPARE(grid.selectedRows(), (QList<int>{2, 5}));
    // Switching multi-select off drops the old selection.
    grid.setMultiSelect(false);
    QCOMPARE(grid.selectedRows(), QList<int>{5});
}

void TestDataGrid::widthChangeReportedOnceOnRelease()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy changed(&grid, &DataGrid::ChangedColumnsWidth);
    QSignalSpy clicked(&grid, &DataGrid::ColumnClick);

    grid.setColumnWidth(Name, 150);
    QCOMPARE(grid.columnWidth(Name), 150);
    QCOMPARE(grid.view()->horizontalHeader()->sectionSize(Name), 150);
    QCOMPARE(changed.count(), 0);

    QHeaderView *header = grid.view()->horizontalHeader();
    QWidget *target = header->viewport();
    const int y = header->height() / 2;
    const int edge = header->sectionViewportPosition(Name) + header->sectionSize(Name) - 1;
    sendMouse(target, QEvent::MouseButtonPress, QPoint(edge, y), Qt::LeftButton);
    for (int dx = 5; dx <= 40; dx += 5) {
        sendMouse(target, QEvent::MouseMove, QPoint(edge + dx, y), Qt::LeftButton);
        QCOMPARE(changed.count(), 0);
    }
    QCOMPARE(header->sectionSize(Name), 190);
    sendMouse(target, QEvent::MouseButtonRelease, QPoint(edge + 40, y), Qt::NoButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(grid.columnWidth(Name), 190);
    // A resize is not a click.
    QCOMPARE(clicked.count(), 0);
}

void TestDataGrid::headerClickAndDoubleClick()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &DataGrid::ColumnClick);
    QSignalSpy widths(&grid, &DataGrid::ChangedColumnsWidth);
    QSignalSpy dbl(&grid, &DataGrid::DblClick);

    QHeaderView *header = grid.view()->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(Amount) + header->sectionSize(Amount) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), int(Amount));
    QCOMPARE(widths.count(), 0);

    QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(grid, 3));
    QCOMPARE(dbl.count(), 1);
    QCOMPARE(dbl.at(0).at(0).toInt(), 3);
    QCOMPARE(q.row(), 3);
    // Below the last row there is no row to report.
    QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(10, grid.view()->viewport()->height() - 3));
    QCOMPARE(dbl.count(), 2);
    QCOMPARE(dbl.at(1).at(0).toInt(), -1);
}

void TestDataGrid::cellColours()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.setSelectionColour(DataGrid::SelectedRowColour());
    const QColor red(255, 89, 89);
    grid.setCellStyleHook([&grid, &q, red](int row, int column, QColor &, QColor &text) {
        if (grid.column(column).caption == u"Amount"_s && q.value(row, Amount).value<Money>().isNegative())
            text = red;
    });

    grid.selectRow(0);
    QColor bg, fg;
    grid.cellColours(0, Name, bg, fg);
    QCOMPARE(bg, QColor(255, 240, 210));
    QCOMPARE(fg, QColor(Qt::black));
    grid.cellColours(1, Name, bg, fg);
    QVERIFY(!bg.isValid());
    QVERIFY(!fg.isValid());
    grid.cellColours(2, Amount, bg, fg);
    QVERIFY(!bg.isValid());
    QCOMPARE(fg, red);
    grid.cellColours(2, Name, bg, fg);
    QVERIFY(!fg.isValid());

    // The hook runs after the selection colour and wins over it.
    grid.selectRow(2);
    grid.cellColours(2, Amount, bg, fg);
    QCOMPARE(bg, QColor(255, 240, 210));
    QCOMPARE(fg, red);
}

void TestDataGrid::selectedRowIsPaintedInSelectionColour()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.setSelectionColour(DataGrid::SelectedRowColour());
    const QColor flagged(255, 89, 89);
    grid.setCellStyleHook([flagged](int row, int column, QColor &background, QColor &) {
        if (row == 6 && column == Paid)
            background = flagged;
    });
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.selectRow(4);

    const QImage image = grid.view()->viewport()->grab().toImage();
    const auto pixelIn = [&](int row, int column) {
        const QRect r = grid.view()->visualRect(grid.view()->model()->index(row, column));
        return image.pixelColor(r.left() + 1, r.top() + 1);
    };
    QCOMPARE(pixelIn(4, Name), QColor(255, 240, 210));
    QCOMPARE(pixelIn(4, Due), QColor(255, 240, 210));
    QCOMPARE(pixelIn(6, Paid), flagged);
    QVERIFY(pixelIn(5, Name) != QColor(255, 240, 210));
}

void TestDataGrid::currentRowFollowsBothWays()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.resize(700, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QCOMPARE(grid.view()->currentIndex().row(), 0);
    q.setRow(6);
    QCOMPARE(grid.view()->currentIndex().row(), 6);
    QCOMPARE(grid.selectedRows(), QList<int>{6});

    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(grid, 2));
    QCOMPARE(q.row(), 2);
    QTest::keyClick(grid.view(), Qt::Key_Down);
    QCOMPARE(q.row(), 3);
    QCOMPARE(q.value(u"IncID"_s).toLongLong(), 4);

    // After a sort the grid stays on the same record, now at another row.
    q.setSort(u"IncID DESC "_s);
    QCOMPARE(q.value(u"IncID"_s).toLongLong(), 4);
    QCOMPARE(q.row(), 6);
    QCOMPARE(grid.view()->currentIndex().row(), 6);
    QCOMPARE(grid.cellText(grid.view()->currentIndex().row(), Id), u"4"_s);

    q.Close();
    QCOMPARE(grid.view()->model()->rowCount(), 0);
    QVERIFY(grid.selectedRows().isEmpty());
}

void TestDataGrid::hiddenColumnKeepsWidthAcrossReset()
{
    Query q;
    fill(q);
    DataGrid grid;
    grid.setDataSet(&q);
    grid.setColumnWidth(Rate, 77);
    grid.setColumnVisible(Rate, false);
    grid.setColumnWidth(Rate, 88);
    grid.setColumnWidth(Name, 140);
    q.setSort(u"Description DESC "_s);
    QHeaderView *header = grid.view()->horizontalHeader();
    QVERIFY(header->isSectionHidden(Rate));
    QCOMPARE(header->sectionSize(Name), 140);
    QCOMPARE(grid.columnWidth(Rate), 88);
    grid.setColumnVisible(Rate, true);
    QCOMPARE(header->sectionSize(Rate), 88);
}

void TestDataGrid::textSortIgnoresCase()
{
    // The sort folds each cell once; its order must be that of the case-insensitive compare.
    const QStringList texts = {u"apple"_s, u"Apple"_s, u"APPLE "_s, u"banana"_s, u"Äpfel"_s, u"äpfel"_s, u"Zebra"_s,
                               u"zebra"_s, u"éclair"_s, u"Éclair"_s, u"straße"_s, u"STRASSE"_s, u"Σίσυφος"_s,
                               u"σίσυφος"_s, u"İstanbul"_s, u"istanbul"_s, u"合同"_s, u"产品"_s, u"\U0001D400x"_s,
                               u"\U00010428"_s, u"\U00010400"_s, u""_s, u"_x"_s, u"[a]"_s, u"a1"_s, u"A10"_s, u"a2"_s};
    Query q;
    q.CreateDataSet({Field{u"Name"_s, FieldType::Text, {}}, Field{u"No"_s, FieldType::Integer, {}}});
    QList<QVector<QVariant>> rows;
    for (int i = 0; i < texts.size(); ++i)
        rows << QVector<QVariant>{texts.at(i), qlonglong(i)};
    q.SetRecords(rows);
    for (const bool descending : {false, true}) {
        QStringList expected = texts;
        std::stable_sort(expected.begin(), expected.end(), [descending](const QString &a, const QString &b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return descending ? c > 0 : c < 0;
        });
        q.setSort(descending ? u"Name DESC "_s : u"Name ASC"_s);
        QStringList actual;
        for (int r = 0; r < q.RecordCount(); ++r)
            actual << q.value(r, 0).toString();
        QCOMPARE(actual, expected);
    }
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
