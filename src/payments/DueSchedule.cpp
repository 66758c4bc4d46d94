#include "DueSchedule.h"

#include "DbError.h"
#include "Query.h"
#include "SqlText.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cstring>
#include <limits>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype DescriptionLength = 200;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int daysInMonth(qint64 year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && QDate::isLeapYear(int(year)))
        return 29;
    return days[month - 1];
}

// The day-th of the month with the running index year * 12 + (month - 1),
// clamped to the month's length.
QDate monthDate(qint64 monthIndex, int day)
{
    const qint64 year = floorDiv(monthIndex, 12);
    if (year < std::numeric_limits<int>::min() || year > std::numeric_limits<int>::max())
        return {};
    const int month = int(monthIndex - year * 12) + 1;
    return QDate(int(year), month, std::min(day, daysInMonth(year, month)));
}

qint64 monthIndex(QDate date)
{
    return qint64(date.year()) * 12 + (date.month() - 1);
}

// QUuid::createUuid() draws on the system generator, which here costs about
// 1 µs per GUID (the CPU's random instruction) and dominates a long list.
// Keys only need to be unique, so version-4 GUIDs are filled in batches from
// the securely seeded global generator instead.
class GuidSource
{
public:
    QUuid next()
    {
        if (m_used == Batch) {
            QRandomGenerator::global()->fillRange(m_words, Batch * 4);
            m_used = 0;
        }
        QUuid u;
        static_assert(sizeof(QUuid) == 16);
        std::memcpy(static_cast<void *>(&u), m_words + m_used * 4, 16);
        ++m_used;
        // Version 4 (random) and the RFC 4122 variant, as createUuid sets them.
        u.data4[0] = (u.data4[0] & 0x3F) | 0x80;
        u.data3 = (u.data3 & 0x0FFF) | 0x4000;
        return u;
    }

private:
    static constexpr int Batch = 1024;
    quint32 m_words[Batch * 4];
    int m_used = Batch;
};

QString guidText(const QUuid &u)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    QString s(38, Qt::Uninitialized);
    QChar *p = s.data();
    auto hex = [&p](quint64 v, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            p[i] = QLatin1Char(hexDigits[v & 0xF]);
            v >>= 4;
        }
        p += digits;
    };
    *p++ = u'{';
    hex(u.data1, 8);
    *p++ = u'-';
    hex(u.data2, 4);
    *p++ = u'-';
    hex(u.data3, 4);
    *p++ = u'-';
    hex((quint64(u.data4[0]) << 8) | u.data4[1], 4);
    *p++ = u'-';
    quint64 node = 0;
    for (int i = 2; i < 8; ++i)
        node = (node << 8) | u.data4[i];
    hex(node, 12);
    *p = u'}';
    return s;
}

Money moneyOf(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>();
    if (v.typeId() == QMetaType::QString)
        return Money::fromString(v.toString());
    return Money::fromDouble(v.toDouble());
}

QDate dateOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

FrequencyRule ruleOfRow(const Query &q, int row, int offset, int daysType, int loopTime)
{
    FrequencyRule r;
    const QVariant o = q.value(row, offset);
    // An Offset beyond int counts as broken like one below 1.
    const qint64 steps = o.toLongLong();
    r.Offset = (steps >= 1 && steps <= std::numeric_limits<int>::max()) ? int(steps) : 0;
    r.DaysType = q.value(row, daysType).toString();
    r.LoopTime = q.value(row, loopTime).toString();
    return r;
}

// The occurrence dates of the rules; ExpandItem and DueList::Build share them.
template <typename Sink>
void weeklyDates(QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd, Sink &&sink)
{
    if (offset < 1 || !dateBegin.isValid() || !periodBegin.isValid() || !effectiveEnd.isValid())
        return;
    const qint64 step = qint64(offset) * 7;
    const qint64 periodStart = periodBegin.toJulianDay();
    const qint64 end = effectiveEnd.toJulianDay();
    qint64 start = dateBegin.toJulianDay();
    if (start < periodStart) {
        const qint64 days = periodStart - start;
        start += (days / step + (days % step > 0 ? 1 : 0)) * step;
    }
    for (qint64 day = start; day <= end; day += step)
        sink(QDate::fromJulianDay(day));
}

template <typename Sink>
void monthlyDates(QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd, Sink &&sink)
{
    if (offset < 1 || !dateBegin.isValid() || !periodBegin.isValid() || !effectiveEnd.isValid())
        return;
    const qint64 first = monthIndex(dateBegin);
    const int day = dateBegin.day();
    qint64 k = 0;
    if (dateBegin < periodBegin) {
        // Jump to the last occurrence in or before the period's first month;
        // at most one more step reaches the period.
        k = (monthIndex(periodBegin) - first) / offset;
        const QDate date = monthDate(first + k * offset, day);
        if (!date.isValid())
            return;
        if (date < periodBegin)
            ++k;
    }
    for (;; ++k) {
        const QDate date = monthDate(first + k * offset, day);
        if (!date.isValid() || date > effectiveEnd)
            break;
        sink(date);
    }
}

template <typename Sink>
void itemDates(const PaymentItem &item, const FrequencyRule *rule, QDate periodBegin, QDate periodEnd, Sink &&sink)
{
    if (!rule || !item.DateBegin.isValid() || !periodBegin.isValid() || !periodEnd.isValid())
        return;
    if (rule->LoopTime == u"1") {
        if (periodBegin <= item.DateBegin && item.DateBegin <= periodEnd)
            sink(item.DateBegin);
        return;
    }
    if (item.DateBegin > periodEnd || rule->Offset < 1)
        return;
    QDate effectiveEnd = periodEnd;
    if (item.HasEnd != u"0") {
        // A missing end date counts as long past, so the item yields nothing.
        if (!item.DateEnd.isValid() || item.DateEnd < periodBegin)
            return;
        effectiveEnd = std::min(item.DateEnd, periodEnd);
    }
    if (rule->DaysType == u"W")
        weeklyDates(item.DateBegin, rule->Offset, periodBegin, effectiveEnd, sink);
    else if (rule->DaysType == u"M")
        monthlyDates(item.DateBegin, rule->Offset, periodBegin, effectiveEnd, sink);
}

struct Occurrence
{
    qint64 day; // Julian day
    qsizetype item;
};

// Stable by day: occurrences of one day keep the order they were found in.
void sortByDay(std::vector<Occurrence> &occurrences)
{
    const size_t n = occurrences.size();
    if (n < 2)
        return;
    qint64 low = occurrences.front().day;
    qint64 high = low;
    bool sorted = true;
    for (size_t i = 1; i < n; ++i) {
        const qint64 day = occurrences[i].day;
        sorted = sorted && day >= occurrences[i - 1].day;
        low = std::min(low, day);
        high = std::max(high, day);
    }
    if (sorted)
        return;
    const quint64 span = quint64(high - low) + 1;
    if (span > 4 * n + 4096) {
        std::stable_sort(occurrences.begin(), occurrences.end(),
                         [](const Occurrence &a, const Occurrence &b) { return a.day < b.day; });
        return;
    }
    // Counting sort: linear for periods of days to decades.
    std::vector<size_t> start(span + 1, 0);
    for (const Occurrence &o : occurrences)
        ++start[size_t(o.day - low) + 1];
    for (size_t d = 1; d < start.size(); ++d)
        start[d] += start[d - 1];
    std::vector<Occurrence> byDay(n);
    for (const Occurrence &o : occurrences)
        byDay[start[size_t(o.day - low)]++] = o;
    occurrences.swap(byDay);
}

} // namespace

QDate AddMonths(QDate date, int n)
{
    if (!date.isValid())
        return {};
    return monthDate(monthIndex(date) + n, date.day());
}

std::pair<QDate, QDate> ShiftPeriodDates(QDate begin, QDate end, int n)
{
    const bool wholeMonth = begin.isValid() && end.isValid() && begin.day() == 1
        && end.year() == begin.year() && end.month() == begin.month() && end.day() == begin.daysInMonth();
    if (wholeMonth) {
        const QDate first = AddMonths(begin, n);
        if (first.isValid())
            return {first, QDate(first.year(), first.month(), first.daysInMonth())};
    }
    return {AddMonths(begin, n), AddMonths(end, n)};
}

QString NewGuidText()
{
    thread_local GuidSource source;
    return guidText(source.next());
}

DueRow DueRowTemplate(const PaymentItem &item)
{
    DueRow t;
    qsizetype length = std::min(item.Description.size(), DescriptionLength);
    // Never split a surrogate pair at the cut.
    if (length < item.Description.size() && length > 0 && item.Description.at(length - 1).isHighSurrogate())
        --length;
    t.Description = item.Description.left(length);
    if (item.Type == u"1")
        t.Charge = item.Amount;
    else if (item.Type == u"0")
        t.Payment = item.Amount;
    t.Status = u"count"_s;
    t.PaymentIncID = QString::number(item.IncID);
    return t;
}

void AppendDueRow(QList<DueRow> &rows, QDate date, const DueRow &tmpl)
{
    DueRow &row = rows.emplaceBack(tmpl);
    row.Date = date;
    row.Balance = Money();
    row.PK = NewGuidText();
}

void ExpandWeekly(const DueRow &tmpl, QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd,
                  QList<DueRow> &rows)
{
    weeklyDates(dateBegin, offset, periodBegin, effectiveEnd, [&](QDate date) { AppendDueRow(rows, date, tmpl); });
}

void ExpandMonthly(const DueRow &tmpl, QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd,
                   QList<DueRow> &rows)
{
    monthlyDates(dateBegin, offset, periodBegin, effectiveEnd, [&](QDate date) { AppendDueRow(rows, date, tmpl); });
}

void ExpandItem(const PaymentItem &item, const FrequencyRule *rule, QDate periodBegin, QDate periodEnd,
                QList<DueRow> &rows)
{
    DueRow tmpl;
    bool haveTemplate = false;
    itemDates(item, rule, periodBegin, periodEnd, [&](QDate date) {
        if (!haveTemplate) {
            tmpl = DueRowTemplate(item);
            haveTemplate = true;
        }
        AppendDueRow(rows, date, tmpl);
    });
}

void DueList::RefreshDueList(Connection *adc)
{
    Query items(adc);
    items.setSql(u"select * from xt_Td_payment where 1=1 "_s + GroupFilter);
    items.Open();
    // One read of all frequencies instead of one look-up per item.
    Query dues(adc);
    dues.setSql(u"select * from xt_tc_Due"_s);
    dues.Open();

    auto column = [](const Query &q, const QString &name) {
        const int c = q.fieldIndex(name);
        if (c < 0)
            throw DbError(u"Field '%1' not found."_s.arg(name));
        return c;
    };
    const int dueId = column(dues, u"FrequencyID"_s);
    const int dueOffset = column(dues, u"Offset"_s);
    const int dueDaysType = column(dues, u"DaysType"_s);
    const int dueLoopTime = column(dues, u"LoopTime"_s);
    QHash<QString, FrequencyRule> rules;
    rules.reserve(dues.RecordCount());
    for (int r = 0; r < dues.RecordCount(); ++r) {
        const QVariant id = dues.value(r, dueId);
        // The first row of an id wins, as a look-up would return it.
        if (!id.isNull() && !rules.contains(id.toString()))
            rules.insert(id.toString(), ruleOfRow(dues, r, dueOffset, dueDaysType, dueLoopTime));
    }

    const int cIncID = column(items, u"IncID"_s);
    const int cDescription = column(items, u"Description"_s);
    const int cAmount = column(items, u"Amount"_s);
    const int cType = column(items, u"Type"_s);
    const int cDateBegin = column(items, u"DateBegin"_s);
    const int cDateEnd = column(items, u"DateEnd"_s);
    const int cHasEnd = column(items, u"HasEnd"_s);
    const int cFrequencyID = column(items, u"FrequencyID"_s);
    QList<PaymentItem> list;
    list.reserve(items.RecordCount());
    QSet<QString> missing;
    for (int r = 0; r < items.RecordCount(); ++r) {
        PaymentItem &item = list.emplaceBack();
        item.IncID = items.value(r, cIncID).toLongLong();
        item.Description = items.value(r, cDescription).toString();
        item.Amount = moneyOf(items.value(r, cAmount));
        item.Type = items.value(r, cType).toString();
        item.DateBegin = dateOf(items.value(r, cDateBegin));
        item.DateEnd = dateOf(items.value(r, cDateEnd));
        item.HasEnd = items.value(r, cHasEnd).toString();
        item.FrequencyID = items.value(r, cFrequencyID).toString();
        if (!rules.contains(item.FrequencyID))
            missing.insert(item.FrequencyID);
    }
    // An id without an exact match may still match under the column's
    // collation; ask the database the way a single look-up would.
    for (const QString &id : std::as_const(missing)) {
        Query one(adc);
        one.setSql(u"select *   from xt_tc_due where FrequencyID="_s + Quote(id));
        one.Open();
        if (!one.IsEmpty())
            rules.insert(id, ruleOfRow(one, 0, column(one, u"Offset"_s), column(one, u"DaysType"_s),
                                       column(one, u"LoopTime"_s)));
    }

    Build(list, [&rules](const PaymentItem &item) -> const FrequencyRule * {
        const auto it = rules.constFind(item.FrequencyID);
        return it == rules.cend() ? nullptr : &it.value();
    });
}

void DueList::Build(const QList<PaymentItem> &items,
                    const std::function<const FrequencyRule *(const PaymentItem &)> &ruleOf)
{
    // Dates first, rows after: sorting small records and writing the rows once
    // in date order costs far less than moving full rows around.
    std::vector<Occurrence> occurrences;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const PaymentItem &item = items.at(i);
        itemDates(item, ruleOf(item), PeriodBegin, PeriodEnd,
                  [&](QDate date) { occurrences.push_back({date.toJulianDay(), i}); });
    }
    sortByDay(occurrences);

    std::vector<DueRow> templates(size_t(items.size()));
    std::vector<bool> haveTemplate(size_t(items.size()), false);
    // The old rows go first so that two long lists never coexist.
    m_rows = QList<DueRow>();
    m_rows.reserve(qsizetype(occurrences.size()));
    for (const Occurrence &o : occurrences) {
        const size_t i = size_t(o.item);
        if (!haveTemplate[i]) {
            templates[i] = DueRowTemplate(items.at(o.item));
            haveTemplate[i] = true;
        }
        AppendDueRow(m_rows, QDate::fromJulianDay(o.day), templates[i]);
    }
    ComputeRunningBalance();
    ComputeTotals();
}

void DueList::ComputeRunningBalance()
{
    Money balance;
    for (DueRow &row : m_rows) {
        balance += row.Charge - row.Payment;
        row.Balance = balance;
    }
}

void DueList::ComputeTotals()
{
    Money income;
    Money expense;
    for (const DueRow &row : std::as_const(m_rows)) {
        income += row.Charge;
        expense += row.Payment;
    }
    m_income = income;
    m_expense = expense;
    m_endingBalance = income - expense;
}

void DueList::ToggleIgnore(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    DueRow &r = m_rows[row];
    const bool wasCounted = r.Status == u"count";
    r.Status = wasCounted ? u"Ignore"_s : u"count"_s;
    const Money d = r.Charge - r.Payment;
    if (wasCounted)
        m_endingBalance -= d;
    else
        m_endingBalance += d;
}

void DueList::SetThisMonth(Connection *adc, QDate today)
{
    PeriodBegin = QDate(today.year(), today.month(), 1);
    PeriodEnd = QDate(today.year(), today.month(), PeriodBegin.daysInMonth());
    RefreshDueList(adc);
}

void DueList::SetThisMonth(Connection *adc)
{
    SetThisMonth(adc, QDate::currentDate());
}

void DueList::ShiftPeriod(int n, Connection *adc)
{
    std::tie(PeriodBegin, PeriodEnd) = ShiftPeriodDates(PeriodBegin, PeriodEnd, n);
    RefreshDueList(adc);
}
