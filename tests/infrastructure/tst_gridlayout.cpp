#include "ColumnSettingForm.h"
#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "GridLayout.h"
#include "IniFile.h"
#include "Money.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString View = u"xt_vd_Contact"_s;
const QString Form = u"frmContactListForm"_s;
const QString Key = u"xt_vd_ContactfrmContactListForm"_s;

void writeFile(const QString &path, const QString &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList visibleFields(const DataGrid &grid)
{
    QStringList names;
    for (int c = 0; c < grid.columnCount(); ++c)
        if (grid.columnVisible(c))
            names << grid.column(c).fieldName;
    return names;
}

QStringList allFields(const DataGrid &grid)
{
    QStringList names;
    for (int c = 0; c < grid.columnCount(); ++c)
        names << grid.column(c).fieldName;
    return names;
}

QStringList tickedItems(const TfrmColumnSettingForm &form)
{
    QStringList names;
    for (int i = 0; i < form.chklst()->count(); ++i)
        if (form.chklst()->item(i)->checkState() == Qt::Checked)
            names << form.chklst()->item(i)->text();
    return names;
}

void tick(TfrmColumnSettingForm &form, const QString &name)
{
    const auto found = form.chklst()->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    found.first()->setCheckState(Qt::Checked);
}

} // namespace

class TestGridLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layoutKeyAndFiles();
    void openGridQueryBuildsStatementAndColumns();
    void openGridQueryFailurePropagates();
    void buildWithoutDataSource();
    void sumsFollowFieldTypes();
    void visibleColumns_data();
    void visibleColumns();
    void widthsFromFile();
    void saveWidthsRewritesWholeSection();
    void widthChangeSavesAndReloads();
    void sortText_data();
    void sortText();
    void headerClickSortsLoadedRows();
    void chooserTicks_data();
    void chooserTicks();
    void chooserSavesTickedInListOrder();
    void chooserWithNothingTicked();
    void chooserCloseWritesNothing();
    void chooserOnMissingView();
    void showColumnSettingAppliesAtOnce();

private:
    std::unique_ptr<TempProgramDir> m_dir;
    std::unique_ptr<Query> m_query;
};

void TestGridLayout::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(OpenTestBook());
    m_query = std::make_unique<Query>(dm->adc);
}

void TestGridLayout::cleanup()
{
    m_query.reset();
    m_dir.reset();
}

void TestGridLayout::layoutKeyAndFiles()
{
    QCOMPARE(GridLayoutKey(View, Form), Key);
    QCOMPARE(GridLayoutKey(u"xt_tc_group"_s, u"frmgroupListForm"_s), u"xt_tc_groupfrmgroupListForm"_s);
    QCOMPARE(CustomerIniFile(), m_dir->path() + u"ini/Customer.ini"_s);
    QCOMPARE(WidthIniFile(), m_dir->path() + u"ini/Width.ini"_s);
}

void TestGridLayout::openGridQueryBuildsStatementAndColumns()
{
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View, u" and Last like 'K%'"_s,
                  u" order by ContactID"_s);
    QCOMPARE(m_query->sql(), u"select * from xt_vd_Contact where 1=1  and Last like 'K%' order by ContactID"_s);
    QVERIFY(m_query->Active());
    QVERIFY(m_query->RecordCount() > 0);
    for (int r = 0; r < m_query->RecordCount(); ++r)
        QVERIFY(m_query->value(r, m_query->fieldIndex(u"Last"_s)).toString().startsWith(u'K'));
    QVERIFY(!grid.autoColumns());
    QCOMPARE(grid.columnCount(), m_query->fieldCount());
    for (int c = 0; c < grid.columnCount(); ++c) {
        QCOMPARE(grid.column(c).fieldName, m_query->field(c).name);
        QVERIFY(grid.columnVisible(c));
        QCOMPARE(grid.columnWidth(c), 100);
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestGridLayout::openGridQueryFailurePropagates()
{
    DataGrid grid;
    grid.setDataSet(m_query.get());
    QVERIFY_THROWS_EXCEPTION(DbError, OpenGridQuery(Form, u"NoSuchView"_s, m_query.get(), &grid,
                                                    u"select * from NoSuchView"_s));
    QVERIFY(!m_query->Active());
    // The hourglass does not outlive a failed load.
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestGridLayout::buildWithoutDataSource()
{
    MessageRecorder messages;
    Query q;
    q.CreateDataSet({Field{u"A"_s, FieldType::Text, {}}});
    DataGrid grid;
    grid.setDataSet(&q);
    QCOMPARE(grid.columnCount(), 1);
    grid.setDataSet(nullptr);
    BuildGridColumns(&grid);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastText(), u"不存在与dxDBGrid连接的数据源!"_s);
    QCOMPARE(messages.messages().first().owner, nullptr);
    QCOMPARE(messages.messages().first().caption, u"Message"_s);
    QCOMPARE(grid.columnCount(), 0);
}

void TestGridLayout::sumsFollowFieldTypes()
{
    dm->adc->Execute(u"create table tmp_kinds (ID INTEGER PRIMARY KEY, Amount CURRENCY, Rate REAL, Done BOOLEAN, "
                     "Note VARCHAR(20), Day DATE)"_s);
    dm->adc->Execute(u"insert into tmp_kinds values (1, 10.25, 0.5, 1, 'a', '2025-01-02'), "
                     "(2, 0.0001, 1.5, 0, 'b', '2025-01-03')"_s);
    DataGrid grid;
    grid.setDataSet(m_query.get());
    grid.setFooterVisible(true);
    OpenGridQuery(Form, u"tmp_kinds"_s, m_query.get(), &grid, u"select * from tmp_kinds"_s);
    const QStringList summed = {u"ID"_s, u"Amount"_s, u"Rate"_s};
    for (int c = 0; c < grid.columnCount(); ++c)
        QCOMPARE(grid.column(c).summary == GridSummary::Sum, summed.contains(grid.column(c).fieldName));
    QCOMPARE(grid.footerValue(grid.columnByField(u"Amount"_s)).value<Money>(), Money::fromUnits(102501));
    QCOMPARE(grid.footerText(grid.columnByField(u"ID"_s)), u"3"_s);
    QCOMPARE(grid.footerText(grid.columnByField(u"Done"_s)), QString());
}

void TestGridLayout::visibleColumns_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("visible");

    QTest::newRow("no file") << QString() << true << QStringList();
    QTest::newRow("other layout only") << u"[xt_vd_ContactfrmOther]\r\nfirst=\r\n"_s << true << QStringList();
    QTest::newRow("empty section") << u"[xt_vd_ContactfrmContactListForm]\r\n"_s << true << QStringList();
    QTest::newRow("unknown fields only") << u"[xt_vd_ContactfrmContactListForm]\r\nGone=\r\nAlsoGone=\r\n"_s << false
                                         << QStringList();
    QTest::newRow("Display and first, field order")
        << u"[xt_vd_ContactfrmContactListForm]\r\nDisplay=\r\nfirst=\r\n"_s << false
        << QStringList{u"first"_s, u"Display"_s};
    QTest::newRow("case must match") << u"[xt_vd_ContactfrmContactListForm]\r\nFIRST=\r\nDisplay=\r\nGone=\r\n"_s
                                     << false << QStringList{u"Display"_s};
}

void TestGridLayout::visibleColumns()
{
    QFETCH(QString, customer);
    QFETCH(bool, all);
    QFETCH(QStringList, visible);
    if (!customer.isEmpty())
        writeFile(CustomerIniFile(), customer);
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    QVERIFY(grid.columnCount() > 5);
    QCOMPARE(visibleFields(grid), all ? allFields(grid) : visible);
}

void TestGridLayout::widthsFromFile()
{
    writeFile(WidthIniFile(), u"[xt_vd_ContactfrmContactListForm]\r\nfirst=150\r\nLast=abc\r\nDisplay=80\r\nGone=300\r\n"
                              "[xt_vd_ContactfrmOther]\r\nMiddle=222\r\n"_s);
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    for (int c = 0; c < grid.columnCount(); ++c) {
        const QString name = grid.column(c).fieldName;
        const int expected = name == u"first"_s ? 150 : name == u"Display"_s ? 80 : 100;
        QCOMPARE(grid.columnWidth(c), expected);
    }
}

void TestGridLayout::saveWidthsRewritesWholeSection()
{
    writeFile(CustomerIniFile(), u"[xt_vd_ContactfrmContactListForm]\r\nfirst=\r\nDisplay=\r\n"_s);
    writeFile(WidthIniFile(), u"[xt_vd_ContactfrmOther]\r\nMiddle=222\r\n[xt_vd_ContactfrmContactListForm]\r\nGone=5\r\n"_s);
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    const int first = grid.columnByField(u"first"_s);
    const int remark = grid.columnByField(u"Remark"_s);
    QVERIFY(!grid.columnVisible(remark));
    grid.setColumnWidth(first, 123);
    grid.setColumnWidth(remark, 77);

    SaveColumnWidths(View, &grid, Form);
    const IniFile ini(WidthIniFile());
    QCOMPARE(ini.ReadSection(Key), allFields(grid));
    for (int c = 0; c < grid.columnCount(); ++c) {
        const int expected = c == first ? 123 : c == remark ? 77 : 100;
        QCOMPARE(ini.ReadString(Key, grid.column(c).fieldName, QString()), QString::number(expected));
    }
    QCOMPARE(ini.ReadString(u"xt_vd_ContactfrmOther"_s, u"Middle"_s, QString()), u"222"_s);

    // A fresh grid picks the saved widths up again, hidden columns included.
    DataGrid other;
    other.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &other, u"select * from "_s + View);
    QCOMPARE(other.columnWidth(first), 123);
    QCOMPARE(other.columnWidth(remark), 77);
}

void TestGridLayout::widthChangeSavesAndReloads()
{
    DataGrid grid;
    WireListGrid(&grid, m_query.get(), View, Form);
    QCOMPARE(grid.dataSet(), m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    const int last = grid.columnByField(u"Last"_s);
    grid.setColumnWidth(last, 140);
    QVERIFY(!QFile::exists(WidthIniFile()));
    Q_EMIT grid.ChangedColumnsWidth();
    const IniFile ini(WidthIniFile());
    QCOMPARE(ini.ReadSection(Key).size(), grid.columnCount());
    QCOMPARE(ini.ReadString(Key, u"Last"_s, QString()), u"140"_s);
    QCOMPARE(grid.columnWidth(last), 140);
}

void TestGridLayout::sortText_data()
{
    QTest::addColumn<QStringList>("clicks"); // a leading '+' holds Shift
    QTest::addColumn<QString>("expected");

    QTest::newRow("first click ascending") << QStringList{u"first"_s} << u"first ASC"_s;
    QTest::newRow("second click descending with blank") << QStringList{u"first"_s, u"first"_s} << u"first DESC "_s;
    QTest::newRow("third click ascending again") << QStringList{u"first"_s, u"first"_s, u"first"_s} << u"first ASC"_s;
    QTest::newRow("other column without shift") << QStringList{u"first"_s, u"Last"_s} << u"Last ASC"_s;
    QTest::newRow("other column after descending")
        << QStringList{u"first"_s, u"first"_s, u"Last"_s} << u"Last ASC"_s;
    QTest::newRow("shift keeps both") << QStringList{u"first"_s, u"+Last"_s} << u"first ASC,Last ASC"_s;
    QTest::newRow("shift toggles its own column")
        << QStringList{u"first"_s, u"+Last"_s, u"+Last"_s} << u"first ASC,Last DESC "_s;
    QTest::newRow("shift keeps click order")
        << QStringList{u"Last"_s, u"+first"_s, u"+Last"_s} << u"Last DESC ,first ASC"_s;
    QTest::newRow("shift on an unsorted grid") << QStringList{u"+Display"_s} << u"Display ASC"_s;
    QTest::newRow("plain click ends a multi sort")
        << QStringList{u"first"_s, u"+Last"_s, u"Display"_s} << u"Display ASC"_s;
}

void TestGridLayout::sortText()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, expected);
    Query q;
    q.CreateDataSet({Field{u"ContactID"_s, FieldType::Integer, {}}, Field{u"first"_s, FieldType::Text, {}},
                     Field{u"Last"_s, FieldType::Text, {}}, Field{u"Display"_s, FieldType::Text, {}}});
    DataGrid grid;
    grid.setDataSet(&q);
    QString text;
    for (QString click : clicks) {
        const bool shift = click.startsWith(u'+');
        if (shift)
            click.remove(0, 1);
        text = GetGridSortText(&grid, grid.columnByField(click), shift);
    }
    QCOMPARE(text, expected);
}

void TestGridLayout::headerClickSortsLoadedRows()
{
    DataGrid grid;
    WireListGrid(&grid, m_query.get(), View, Form);
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View, u" order by ContactID"_s);
    const QString sqlBefore = m_query->sql();
    const int first = grid.columnByField(u"first"_s);
    const int field = m_query->fieldIndex(u"first"_s);
    auto column = [&] {
        QStringList values;
        for (int r = 0; r < m_query->RecordCount(); ++r)
            values << m_query->value(r, field).toString();
        return values;
    };
    QStringList sorted = column();
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QVERIFY(column() != sorted);

    Q_EMIT grid.ColumnClick(first);
    QCOMPARE(m_query->sort(), u"first ASC"_s);
    QCOMPARE(column(), sorted);
    Q_EMIT grid.ColumnClick(first);
    QCOMPARE(m_query->sort(), u"first DESC "_s);
    std::reverse(sorted.begin(), sorted.end());
    QCOMPARE(column(), sorted);
    QCOMPARE(grid.sortState(first), GridSortOrder::Descending);
    QCOMPARE(m_query->sql(), sqlBefore);
}

void TestGridLayout::chooserTicks_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("ticked");

    QTest::newRow("no section") << QString() << true << QStringList();
    QTest::newRow("empty section") << u"[xt_vd_ContactfrmContactListForm]\r\n"_s << true << QStringList();
    QTest::newRow("Display and first") << u"[xt_vd_ContactfrmContactListForm]\r\nDisplay=\r\nfirst=\r\n"_s << false
                                       << QStringList{u"first"_s, u"Display"_s};
    QTest::newRow("unknown fields only") << u"[xt_vd_ContactfrmContactListForm]\r\nGone=\r\n"_s << false
                                         << QStringList();
}

void TestGridLayout::chooserTicks()
{
    QFETCH(QString, customer);
    QFETCH(bool, all);
    QFETCH(QStringList, ticked);
    if (!customer.isEmpty())
        writeFile(CustomerIniFile(), customer);
    m_query->setSql(u"select * from "_s + View);
    m_query->Open();
    QStringList fields;
    for (const Field &f : m_query->fields())
        fields << f.name;

    TfrmColumnSettingForm form;
    form.ViewName = View;
    form.OwnerName = Form;
    form.FormShow();
    QStringList items;
    for (int i = 0; i < form.chklst()->count(); ++i)
        items << form.chklst()->item(i)->text();
    QCOMPARE(items, fields);
    QCOMPARE(tickedItems(form), all ? fields : ticked);
}

void TestGridLayout::chooserSavesTickedInListOrder()
{
    writeFile(CustomerIniFile(), u"[xt_vd_ContactfrmOther]\r\nfirst=\r\n[xt_vd_ContactfrmContactListForm]\r\nRemark=\r\n"_s);
    TfrmColumnSettingForm form;
    form.ViewName = View;
    form.OwnerName = Form;
    QSignalSpy finished(&form, &QDialog::finished);
    form.FormShow();
    form.RzBitBtn2Click();
    QVERIFY(tickedItems(form).isEmpty());
    tick(form, u"Last"_s);
    tick(form, u"first"_s);
    form.RzBitBtn3Click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.result(), int(QDialog::Accepted));

    const IniFile ini(CustomerIniFile());
    QCOMPARE(ini.ReadSection(Key), (QStringList{u"first"_s, u"Last"_s}));
    QVERIFY(readFile(CustomerIniFile()).contains("first=\r\nLast=\r\n"));
    QCOMPARE(ini.ReadSection(u"xt_vd_ContactfrmOther"_s), QStringList{u"first"_s});

    form.RzBitBtn5Click();
    QCOMPARE(tickedItems(form).size(), form.chklst()->count());
    form.RzBitBtn3Click();
    QCOMPARE(ini.ReadSection(Key).size(), form.chklst()->count());
}

void TestGridLayout::chooserWithNothingTicked()
{
    writeFile(CustomerIniFile(), u"[xt_vd_ContactfrmContactListForm]\r\nfirst=\r\nDisplay=\r\n"_s);
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    QCOMPARE(visibleFields(grid), (QStringList{u"first"_s, u"Display"_s}));

    MessageRecorder messages;
    TfrmColumnSettingForm form;
    form.ViewName = View;
    form.OwnerName = Form;
    QSignalSpy finished(&form, &QDialog::finished);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(tickedItems(form), (QStringList{u"first"_s, u"Display"_s}));
    QTest::mouseClick(form.findChild<QPushButton *>(u"RzBitBtn2"_s), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton *>(u"RzBitBtn3"_s), Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastText(), u"至少有一项打 \"√\"!"_s);
    QCOMPARE(messages.messages().first().owner, &form);
    QCOMPARE(finished.count(), 0);
    QVERIFY(form.isVisible());
    QVERIFY(!IniFile(CustomerIniFile()).SectionExists(Key));

    QTest::mouseClick(form.findChild<QPushButton *>(u"RzBitBtn4"_s), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    // The grid stays as it was; the next load shows every column.
    ApplyVisibleColumns(&grid, View, Form);
    QCOMPARE(visibleFields(grid), (QStringList{u"first"_s, u"Display"_s}));
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    QCOMPARE(visibleFields(grid), allFields(grid));
}

void TestGridLayout::chooserCloseWritesNothing()
{
    writeFile(CustomerIniFile(), u"[xt_vd_ContactfrmContactListForm]\r\nfirst=\r\n"_s);
    const QByteArray before = readFile(CustomerIniFile());
    TfrmColumnSettingForm form;
    form.ViewName = View;
    form.OwnerName = Form;
    QSignalSpy finished(&form, &QDialog::finished);
    form.FormShow();
    form.RzBitBtn5Click();
    form.RzBitBtn4Click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(readFile(CustomerIniFile()), before);
}

void TestGridLayout::chooserOnMissingView()
{
    TfrmColumnSettingForm form;
    form.ViewName = u"NoSuchView"_s;
    form.OwnerName = Form;
    QVERIFY_THROWS_EXCEPTION(DbError, form.FormShow());
    QCOMPARE(form.chklst()->count(), 0);
}

void TestGridLayout::showColumnSettingAppliesAtOnce()
{
    DataGrid grid;
    grid.setDataSet(m_query.get());
    OpenGridQuery(Form, View, m_query.get(), &grid, u"select * from "_s + View);
    QCOMPARE(visibleFields(grid), allFields(grid));

    bool seen = false;
    QTimer::singleShot(0, this, [&seen] {
        auto *form = qobject_cast<TfrmColumnSettingForm *>(QApplication::activeModalWidget());
        if (!form)
            return;
        seen = form->ViewName == View && form->OwnerName == Form && form->chklst()->count() > 0;
        form->RzBitBtn2Click();
        tick(*form, u"Display"_s);
        tick(*form, u"ContactID"_s);
        form->RzBitBtn3Click();
        if (form->isVisible())
            form->reject();
    });
    ShowColumnSetting(&grid, View, Form);
    QVERIFY(seen);
    QCOMPARE(visibleFields(grid), (QStringList{u"ContactID"_s, u"Display"_s}));
}

QTEST_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
