#include "DueSchedule.h"

#include "Connection.h"
#include "DbError.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUuid>

#include <limits>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(PaymentItem)
Q_DECLARE_METATYPE(FrequencyRule)

namespace {

QDate d(int y, int m, int day)
{
    return QDate(y, m, day);
}

PaymentItem makeItem(QDate begin, const QString &type = u"0"_s, const QString &amount = u"100"_s,
                     QDate end = QDate(), qint64 id = 1, const QString &description = u"Item"_s)
{
    PaymentItem item;
    item.IncID = id;
    item.Description = description;
    item.Amount = Money::fromString(amount);
    item.Type = type;
    item.DateBegin = begin;
    item.DateEnd = end.isValid() ? end : begin;
    item.HasEnd = end.isValid() ? u"1"_s : u"0"_s;
    item.FrequencyID = u"05"_s;
    return item;
}

FrequencyRule makeRule(int offset, const QString &daysType, const QString &loopTime = u"0"_s)
{
    return FrequencyRule{offset, daysType, loopTime};
}

QList<QDate> datesOf(const QList<DueRow> &rows)
{
    QList<QDate> dates;
    for (const DueRow &r : rows)
        dates << r.Date;
    return dates;
}

QList<QDate> range(std::initializer_list<QDate> dates)
{
    return QList<QDate>(dates);
}

} // namespace

class tst_DueSchedule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addMonths_data();
    void addMonths();
    void expand_data();
    void expand();
    void rowFields();
    void sortKeepsItemOrderWithinADate_data();
    void sortKeepsItemOrderWithinADate();
    void balanceAndIgnore();
    void shiftPeriodDates_data();
    void shiftPeriodDates();
    void refreshFromBook();
    void frequencyLookupFollowsTheColumn();
};

void tst_DueSchedule::addMonths_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("n");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("31 Jan to Feb") << d(2011, 1, 31) << 1 << d(2011, 2, 28);
    QTest::newRow("31 Jan to leap Feb") << d(2012, 1, 31) << 1 << d(2012, 2, 29);
    QTest::newRow("back to Feb") << d(2011, 3, 31) << -1 << d(2011, 2, 28);
    QTest::newRow("to a 30-day month") << d(2011, 5, 31) << 1 << d(2011, 6, 30);
    QTest::newRow("over the year end") << d(2011, 12, 31) << 2 << d(2012, 2, 29);
    QTest::newRow("back over two year ends") << d(2011, 1, 31) << -13 << d(2009, 12, 31);
    QTest::newRow("leap day a year on") << d(2012, 2, 29) << 12 << d(2013, 2, 28);
    QTest::newRow("many months") << d(2011, 1, 15) << 25 << d(2013, 2, 15);
    QTest::newRow("zero") << d(2011, 4, 30) << 0 << d(2011, 4, 30);
    QTest::newRow("invalid stays invalid") << QDate() << 1 << QDate();
}

void tst_DueSchedule::addMonths()
{
    QFETCH(QDate, date);
    QFETCH(int, n);
    QFETCH(QDate, expected);
    QCOMPARE(AddMonths(date, n), expected);
}

void tst_DueSchedule::expand_data()
{
    QTest::addColumn<PaymentItem>("item");
    QTest::addColumn<FrequencyRule>("rule");
    QTest::addColumn<bool>("hasRule");
    QTest::addColumn<QDate>("periodBegin");
    QTest::addColumn<QDate>("periodEnd");
    QTest::addColumn<QList<QDate>>("expected");

    const FrequencyRule once = makeRule(0, QString(), u"1"_s);
    const FrequencyRule weekly = makeRule(1, u"W"_s);
    const FrequencyRule fortnightly = makeRule(2, u"W"_s);
    const FrequencyRule monthly = makeRule(1, u"M"_s);
    const QDate pb = d(2011, 3, 1);
    const QDate pe = d(2011, 3, 31);

    QTest::newRow("once on period begin") << makeItem(pb) << once << true << pb << pe << range({pb});
    QTest::newRow("once on period end") << makeItem(pe) << once << true << pb << pe << range({pe});
    QTest::newRow("once a day before") << makeItem(d(2011, 2, 28)) << once << true << pb << pe << range({});
    QTest::newRow("once a day after") << makeItem(d(2011, 4, 1)) << once << true << pb << pe << range({});
    QTest::newRow("once ignores a past end")
        << makeItem(d(2011, 3, 15), u"0"_s, u"1"_s, d(2011, 1, 1)) << once << true << pb << pe << range({d(2011, 3, 15)});

    QTest::newRow("end the day before period begin")
        << makeItem(d(2011, 2, 1), u"0"_s, u"1"_s, d(2011, 2, 28)) << weekly << true << pb << pe << range({});
    QTest::newRow("end on period begin, due that day")
        << makeItem(d(2011, 2, 1), u"0"_s, u"1"_s, pb) << weekly << true << pb << pe << range({pb});
    QTest::newRow("end on period begin, not due that day")
        << makeItem(d(2011, 2, 2), u"0"_s, u"1"_s, pb) << weekly << true << pb << pe << range({});
    QTest::newRow("end before begin")
        << makeItem(d(2011, 3, 10), u"0"_s, u"1"_s, d(2011, 3, 5)) << weekly << true << pb << pe << range({});

    QTest::newRow("weekly from before the period")
        << makeItem(d(2011, 1, 3)) << weekly << true << d(2011, 2, 1) << d(2011, 2, 28)
        << range({d(2011, 2, 7), d(2011, 2, 14), d(2011, 2, 21), d(2011, 2, 28)});
    QTest::newRow("weekly from inside the period")
        << makeItem(d(2011, 2, 10)) << weekly << true << d(2011, 2, 1) << d(2011, 2, 28)
        << range({d(2011, 2, 10), d(2011, 2, 17), d(2011, 2, 24)});
    QTest::newRow("fortnightly off week")
        << makeItem(d(2011, 1, 3)) << fortnightly << true << d(2011, 1, 10) << d(2011, 1, 16) << range({});
    QTest::newRow("fortnightly on week")
        << makeItem(d(2011, 1, 3)) << fortnightly << true << d(2011, 1, 17) << d(2011, 1, 23) << range({d(2011, 1, 17)});
    QTest::newRow("weekly next occurrence after end")
        << makeItem(d(2011, 1, 3), u"0"_s, u"1"_s, d(2011, 2, 6)) << weekly << true << d(2011, 2, 1) << d(2011, 2, 28)
        << range({});
    QTest::newRow("weekly end inside the period")
        << makeItem(d(2011, 1, 3), u"0"_s, u"1"_s, d(2011, 2, 14)) << weekly << true << d(2011, 2, 1) << d(2011, 2, 28)
        << range({d(2011, 2, 7), d(2011, 2, 14)});

    const QList<QDate> monthEnds2011 = range({d(2011, 1, 31), d(2011, 2, 28), d(2011, 3, 31), d(2011, 4, 30)});
    QTest::newRow("31st, period starts at begin")
        << makeItem(d(2011, 1, 31)) << monthly << true << d(2011, 1, 1) << d(2011, 4, 30) << monthEnds2011;
    QTest::newRow("31st, period starts after begin")
        << makeItem(d(2011, 1, 31)) << monthly << true << d(2011, 2, 1) << d(2011, 4, 30) << monthEnds2011.mid(1);
    QTest::newRow("31st, leap February")
        << makeItem(d(2011, 1, 31)) << monthly << true << d(2012, 2, 1) << d(2012, 2, 29) << range({d(2012, 2, 29)});
    QTest::newRow("31st, leap year from before")
        << makeItem(d(2011, 1, 31)) << monthly << true << d(2012, 1, 1) << d(2012, 4, 30)
        << range({d(2012, 1, 31), d(2012, 2, 29), d(2012, 3, 31), d(2012, 4, 30)});
    QTest::newRow("31st, leap year from begin")
        << makeItem(d(2012, 1, 31)) << monthly << true << d(2012, 1, 1) << d(2012, 4, 30)
        << range({d(2012, 1, 31), d(2012, 2, 29), d(2012, 3, 31), d(2012, 4, 30)});
    QTest::newRow("31st, a century on, 2100 not leap")
        << makeItem(d(1900, 1, 31)) << monthly << true << d(2100, 2, 1) << d(2100, 3, 31)
        << range({d(2100, 2, 28), d(2100, 3, 31)});
    QTest::newRow("quarterly from May")
        << makeItem(d(2010, 5, 15)) << makeRule(3, u"M"_s) << true << d(2011, 1, 1) << d(2011, 12, 31)
        << range({d(2011, 2, 15), d(2011, 5, 15), d(2011, 8, 15), d(2011, 11, 15)});
    QTest::newRow("every 5 months")
        << makeItem(d(2011, 1, 10)) << makeRule(5, u"M"_s) << true << d(2012, 1, 1) << d(2012, 12, 31)
        << range({d(2012, 4, 10), d(2012, 9, 10)});
    QTest::newRow("every 13 months")
        << makeItem(d(2011, 1, 10)) << makeRule(13, u"M"_s) << true << d(2012, 1, 1) << d(2013, 12, 31)
        << range({d(2012, 2, 10), d(2013, 3, 10)});
    QTest::newRow("yearly from a leap day")
        << makeItem(d(2012, 2, 29)) << makeRule(12, u"M"_s) << true << d(2013, 1, 1) << d(2016, 12, 31)
        << range({d(2013, 2, 28), d(2014, 2, 28), d(2015, 2, 28), d(2016, 2, 29)});
    QTest::newRow("monthly end inside the period")
        << makeItem(d(2011, 1, 15), u"0"_s, u"1"_s, d(2011, 3, 14)) << monthly << true << d(2011, 1, 1) << d(2011, 12, 31)
        << range({d(2011, 1, 15), d(2011, 2, 15)});
    QTest::newRow("monthly after period end") << makeItem(d(2011, 4, 1)) << monthly << true << pb << pe << range({});

    QTest::newRow("reversed period, once") << makeItem(d(2011, 3, 15)) << once << true << pe << pb << range({});
    QTest::newRow("reversed period, weekly") << makeItem(d(2011, 1, 3)) << weekly << true << pe << pb << range({});
    QTest::newRow("reversed period, monthly") << makeItem(d(2011, 1, 3)) << monthly << true << pe << pb << range({});

    QTest::newRow("offset 0") << makeItem(d(2011, 1, 3)) << makeRule(0, u"M"_s) << true << pb << pe << range({});
    QTest::newRow("offset -1") << makeItem(d(2011, 1, 3)) << makeRule(-1, u"W"_s) << true << pb << pe << range({});
    QTest::newRow("weekly offset at int maximum")
        << makeItem(d(2011, 1, 3)) << makeRule(std::numeric_limits<int>::max(), u"W"_s) << true << pb << pe << range({});
    QTest::newRow("monthly offset at int maximum")
        << makeItem(d(2011, 1, 3)) << makeRule(std::numeric_limits<int>::max(), u"M"_s) << true << pb << pe << range({});
    QTest::newRow("days type X") << makeItem(d(2011, 1, 3)) << makeRule(1, u"X"_s) << true << pb << pe << range({});
    QTest::newRow("days type case counts") << makeItem(d(2011, 1, 3)) << makeRule(1, u"m"_s) << true << pb << pe << range({});
    QTest::newRow("no frequency row") << makeItem(d(2011, 3, 3)) << FrequencyRule() << false << pb << pe << range({});
}

void tst_DueSchedule::expand()
{
    QFETCH(PaymentItem, item);
    QFETCH(FrequencyRule, rule);
    QFETCH(bool, hasRule);
    QFETCH(QDate, periodBegin);
    QFETCH(QDate, periodEnd);
    QFETCH(QList<QDate>, expected);

    QList<DueRow> rows;
    ExpandItem(item, hasRule ? &rule : nullptr, periodBegin, periodEnd, rows);
    QCOMPARE(datesOf(rows), expected);
}

void tst_DueSchedule::rowFields()
{
    const QString longText = QString(205, u'x');
    const FrequencyRule weekly = makeRule(1, u"W"_s);
    QList<DueRow> rows;
    ExpandItem(makeItem(d(2011, 3, 1), u"1"_s, u"1234.5678"_s, QDate(), 42, longText), &weekly, d(2011, 3, 1),
               d(2011, 3, 31), rows);
    ExpandItem(makeItem(d(2011, 3, 2), u"0"_s, u"40"_s, QDate(), 7, u"Rent"_s), &weekly, d(2011, 3, 1),
               d(2011, 3, 31), rows);
    QCOMPARE(rows.size(), 10);

    const DueRow &income = rows.first();
    QCOMPARE(income.Description, longText.left(200));
    QCOMPARE(income.Charge, Money::fromString(u"1234.5678"_s));
    QCOMPARE(income.Payment, Money());
    QCOMPARE(income.Status, u"count"_s);
    QCOMPARE(income.PaymentIncID, u"42"_s);
    QCOMPARE(income.Balance, Money());
    const DueRow &expense = rows.last();
    QCOMPARE(expense.Charge, Money());
    QCOMPARE(expense.Payment, Money::fromString(u"40"_s));
    QCOMPARE(expense.PaymentIncID, u"7"_s);

    static const QRegularExpression guid(
        u"^\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}$"_s);
    QSet<QString> keys;
    for (const DueRow &r : rows) {
        QVERIFY2(guid.match(r.PK).hasMatch(), qPrintable(r.PK));
        keys.insert(r.PK);
    }
    QCOMPARE(keys.size(), rows.size());
    // The text must be the one QUuid itself gives for the same value.
    const QUuid parsed(rows.first().PK);
    QCOMPARE(parsed.toString(QUuid::WithBraces).toUpper(), rows.first().PK);
    QCOMPARE(parsed.version(), QUuid::Random);
}

void tst_DueSchedule::sortKeepsItemOrderWithinADate_data()
{
    QTest::addColumn<QDate>("onceDate");
    QTest::addColumn<QStringList>("expected");
    // Rows within a few weeks sort by counting days, rows decades apart by comparison.
    QTest::newRow("short span") << d(2011, 3, 1)
                                << QStringList({u"2011-03-01 B"_s, u"2011-03-01 Z"_s, u"2011-03-07 A"_s,
                                                u"2011-03-07 C"_s, u"2011-03-14 A"_s, u"2011-03-14 C"_s,
                                                u"2011-03-15 B"_s, u"2011-03-21 A"_s, u"2011-03-21 C"_s});
    QTest::newRow("long span") << d(1900, 1, 1)
                               << QStringList({u"1900-01-01 Z"_s, u"2011-03-01 B"_s, u"2011-03-07 A"_s,
                                               u"2011-03-07 C"_s, u"2011-03-14 A"_s, u"2011-03-14 C"_s,
                                               u"2011-03-15 B"_s, u"2011-03-21 A"_s, u"2011-03-21 C"_s});
}

void tst_DueSchedule::sortKeepsItemOrderWithinADate()
{
    QFETCH(QDate, onceDate);
    QFETCH(QStringList, expected);
    const FrequencyRule weekly = makeRule(1, u"W"_s);
    const FrequencyRule fortnightly = makeRule(2, u"W"_s);
    const FrequencyRule once = makeRule(0, QString(), u"1"_s);
    const QList<PaymentItem> items = {
        makeItem(d(2011, 3, 7), u"0"_s, u"1"_s, QDate(), 1, u"A"_s),
        makeItem(d(2011, 3, 1), u"0"_s, u"1"_s, QDate(), 2, u"B"_s),
        makeItem(d(2011, 3, 7), u"0"_s, u"1"_s, QDate(), 3, u"C"_s),
        makeItem(onceDate, u"0"_s, u"1"_s, QDate(), 4, u"Z"_s),
    };
    DueList list;
    list.PeriodBegin = d(1900, 1, 1);
    list.PeriodEnd = d(2011, 3, 21);
    list.Build(items, [&](const PaymentItem &item) {
        return item.IncID == 4 ? &once : item.IncID == 2 ? &fortnightly : &weekly;
    });
    QStringList order;
    for (const DueRow &r : list.rows())
        order << r.Date.toString(Qt::ISODate) + u' ' + r.Description;
    QCOMPARE(order, expected);
}

void tst_DueSchedule::balanceAndIgnore()
{
    const FrequencyRule once = makeRule(0, QString(), u"1"_s);
    // Given out of date order, as the database may return them.
    const QList<PaymentItem> items = {
        makeItem(d(2011, 3, 20), u"0"_s, u"200"_s, QDate(), 3),
        makeItem(d(2011, 3, 1), u"1"_s, u"1000"_s, QDate(), 1),
        makeItem(d(2011, 3, 5), u"0"_s, u"300"_s, QDate(), 2),
    };
    DueList list;
    list.PeriodBegin = d(2011, 3, 1);
    list.PeriodEnd = d(2011, 3, 31);
    list.Build(items, [&](const PaymentItem &) { return &once; });

    QCOMPARE(datesOf(list.rows()), range({d(2011, 3, 1), d(2011, 3, 5), d(2011, 3, 20)}));
    QList<Money> balances;
    for (const DueRow &r : list.rows())
        balances << r.Balance;
    const QList<Money> expectedBalances = {Money::fromString(u"1000"_s), Money::fromString(u"700"_s),
                                           Money::fromString(u"500"_s)};
    QCOMPARE(balances, expectedBalances);
    QCOMPARE(list.Income(), Money::fromString(u"1000"_s));
    QCOMPARE(list.Expense(), Money::fromString(u"500"_s));
    QCOMPARE(list.EndingBalance(), Money::fromString(u"500"_s));

    list.ToggleIgnore(1);
    QCOMPARE(list.rows().at(1).Status, u"Ignore"_s);
    QCOMPARE(list.EndingBalance(), Money::fromString(u"800"_s));
    QCOMPARE(list.Income(), Money::fromString(u"1000"_s));
    QCOMPARE(list.Expense(), Money::fromString(u"500"_s));
    QCOMPARE(list.rows().at(1).Balance, Money::fromString(u"700"_s));
    list.ToggleIgnore(1);
    QCOMPARE(list.rows().at(1).Status, u"count"_s);
    QCOMPARE(list.EndingBalance(), Money::fromString(u"500"_s));

    list.ToggleIgnore(0);
    QCOMPARE(list.EndingBalance(), Money::fromString(u"-500"_s));
    list.ToggleIgnore(2);
    QCOMPARE(list.EndingBalance(), Money::fromString(u"-300"_s));

    list.ToggleIgnore(-1);
    list.ToggleIgnore(3);
    QCOMPARE(list.EndingBalance(), Money::fromString(u"-300"_s));

    list.PeriodBegin = d(2011, 3, 31);
    list.PeriodEnd = d(2011, 3, 1);
    list.Build(items, [&](const PaymentItem &) { return &once; });
    QCOMPARE(list.RecordCount(), 0);
    QCOMPARE(list.Income(), Money());
    QCOMPARE(list.Expense(), Money());
    QCOMPARE(list.EndingBalance(), Money());
    list.ToggleIgnore(0);
    QCOMPARE(list.EndingBalance(), Money());
}

void tst_DueSchedule::shiftPeriodDates_data()
{
    QTest::addColumn<QDate>("begin");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("n");
    QTest::addColumn<QDate>("newBegin");
    QTest::addColumn<QDate>("newEnd");

    QTest::newRow("January to February") << d(2011, 1, 1) << d(2011, 1, 31) << 1 << d(2011, 2, 1) << d(2011, 2, 28);
    QTest::newRow("February to March") << d(2011, 2, 1) << d(2011, 2, 28) << 1 << d(2011, 3, 1) << d(2011, 3, 31);
    QTest::newRow("leap February") << d(2012, 1, 1) << d(2012, 1, 31) << 1 << d(2012, 2, 1) << d(2012, 2, 29);
    QTest::newRow("back over the year") << d(2011, 1, 1) << d(2011, 1, 31) << -1 << d(2010, 12, 1) << d(2010, 12, 31);
    QTest::newRow("back from February") << d(2011, 2, 1) << d(2011, 2, 28) << -1 << d(2011, 1, 1) << d(2011, 1, 31);
    QTest::newRow("next year from leap February")
        << d(2012, 2, 1) << d(2012, 2, 29) << 12 << d(2013, 2, 1) << d(2013, 2, 28);
    QTest::newRow("prior year to leap February")
        << d(2013, 2, 1) << d(2013, 2, 28) << -12 << d(2012, 2, 1) << d(2012, 2, 29);
    QTest::newRow("part of a month") << d(2011, 1, 15) << d(2011, 1, 31) << 1 << d(2011, 2, 15) << d(2011, 2, 28);
    QTest::newRow("part of a month stays clamped")
        << d(2011, 2, 15) << d(2011, 2, 28) << 1 << d(2011, 3, 15) << d(2011, 3, 28);
    QTest::newRow("a quarter") << d(2011, 1, 1) << d(2011, 3, 31) << 1 << d(2011, 2, 1) << d(2011, 4, 30);
    QTest::newRow("reversed") << d(2011, 3, 31) << d(2011, 3, 1) << 1 << d(2011, 4, 30) << d(2011, 4, 1);
}

void tst_DueSchedule::shiftPeriodDates()
{
    QFETCH(QDate, begin);
    QFETCH(QDate, end);
    QFETCH(int, n);
    QFETCH(QDate, newBegin);
    QFETCH(QDate, newEnd);
    const auto [b, e] = ShiftPeriodDates(begin, end, n);
    QCOMPARE(b, newBegin);
    QCOMPARE(e, newEnd);
}

void tst_DueSchedule::refreshFromBook()
{
    TempProgramDir dir;
    QVERIFY(dir.isValid());
    MessageRecorder messages;
    QVERIFY(OpenTestBook(u"Blank.tqx"_s, u"Blank"_s));
    Connection *adc = dm->adc;

    adc->Execute(u"insert into xt_tc_Group (GroupName) values ('Home')"_s);
    adc->Execute(u"insert into xt_tc_Group (GroupName) values ('Work')"_s);
    Query groups(adc);
    groups.setSql(u"select GroupID, GroupName from xt_tc_Group order by GroupID"_s);
    groups.Open();
    QCOMPARE(groups.RecordCount(), 2);
    const QString home = groups.value(0, 0).toString();
    const QString work = groups.value(1, 0).toString();

    const QString insert = u"insert into xt_td_Payment (Description, Amount, Type, DateBegin, DateEnd, HasEnd, "
                           u"GroupID, FrequencyID, AccountID) values ('%1', %2, '%3', '%4', '%5', '%6', %7, '%8', 1)"_s;
    adc->Execute(insert.arg(u"Salary"_s, u"2500.5"_s, u"1"_s, u"2011-01-31"_s, u"2011-01-31"_s, u"0"_s, home, u"05"_s));
    adc->Execute(insert.arg(u"Rent"_s, u"800"_s, u"0"_s, u"2010-06-01"_s, u"2010-06-01"_s, u"0"_s, work, u"05"_s));
    adc->Execute(insert.arg(u"Lost"_s, u"5"_s, u"0"_s, u"2011-03-03"_s, u"2011-03-03"_s, u"0"_s, home, u"99"_s));
    adc->Execute(insert.arg(u"Gym"_s, u"12.25"_s, u"0"_s, u"2011-03-02"_s, u"2011-03-20"_s, u"1"_s, work, u"02"_s));

    DueList list;
    list.SetThisMonth(adc, d(2011, 3, 17));
    QCOMPARE(list.PeriodBegin, d(2011, 3, 1));
    QCOMPARE(list.PeriodEnd, d(2011, 3, 31));
    QStringList seen;
    for (const DueRow &r : list.rows())
        seen << r.Date.toString(Qt::ISODate) + u' ' + r.Description + u' ' + r.PaymentIncID;
    QCOMPARE(seen, QStringList({u"2011-03-01 Rent 2"_s, u"2011-03-02 Gym 4"_s, u"2011-03-09 Gym 4"_s,
                                u"2011-03-16 Gym 4"_s, u"2011-03-31 Salary 1"_s}));
    QCOMPARE(list.Income(), Money::fromString(u"2500.5"_s));
    QCOMPARE(list.Expense(), Money::fromString(u"836.75"_s));
    QCOMPARE(list.EndingBalance(), Money::fromString(u"1663.75"_s));
    QCOMPARE(list.rows().last().Balance, list.EndingBalance());

    list.GroupFilter = u" and GroupID in ("_s + home + u")"_s;
    list.RefreshDueList(adc);
    QCOMPARE(datesOf(list.rows()), range({d(2011, 3, 31)}));

    list.GroupFilter = u" and GroupID in ("_s + home + u","_s + work + u")"_s;
    list.ShiftPeriod(1, adc);
    QCOMPARE(list.PeriodBegin, d(2011, 4, 1));
    QCOMPARE(list.PeriodEnd, d(2011, 4, 30));
    QCOMPARE(datesOf(list.rows()), range({d(2011, 4, 1), d(2011, 4, 30)}));

    // A failing statement leaves the list as it was.
    list.GroupFilter = u" and NoSuchColumn in (1)"_s;
    QVERIFY_THROWS_EXCEPTION(DbError, list.RefreshDueList(adc));
    QCOMPARE(list.RecordCount(), 2);

    list.GroupFilter = u" and GroupID in (-1)"_s;
    list.RefreshDueList(adc);
    QCOMPARE(list.RecordCount(), 0);
    QCOMPARE(list.EndingBalance(), Money());
    QCOMPARE(messages.count(), 0);
}

// Frequencies are read in one statement; an id that matches only under the
// column's collation must still find its row, as a single look-up would.
void tst_DueSchedule::frequencyLookupFollowsTheColumn()
{
    TempProgramDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(OpenTestBook(u"Blank.tqx"_s, u"Blank"_s));
    Connection *adc = dm->adc;
    adc->Execute(u"drop table xt_tc_Due"_s);
    adc->Execute(u"create table xt_tc_Due (FrequencyID TEXT COLLATE NOCASE PRIMARY KEY, Frequency TEXT, "
                 u"DueName TEXT, Offset INTEGER, DaysType TEXT, LoopTime TEXT)"_s);
    adc->Execute(u"insert into xt_tc_Due values ('MQ', 'Quarterly', 'Quarterly', 3, 'M', '0')"_s);
    adc->Execute(u"insert into xt_td_Payment (Description, Amount, Type, DateBegin, DateEnd, HasEnd, GroupID, "
                 u"FrequencyID, AccountID) values ('Water', 60, '0', '2011-01-10', '2011-01-10', '0', 1, 'mq', 1)"_s);

    DueList list;
    list.PeriodBegin = d(2011, 1, 1);
    list.PeriodEnd = d(2011, 12, 31);
    list.RefreshDueList(adc);
    QCOMPARE(datesOf(list.rows()), range({d(2011, 1, 10), d(2011, 4, 10), d(2011, 7, 10), d(2011, 10, 10)}));
}

QTEST_GUILESS_MAIN(tst_DueSchedule)
#include "tst_dueschedule.moc"
