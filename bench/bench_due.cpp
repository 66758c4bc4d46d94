#include "Connection.h"
#include "DueSchedule.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ItemCount = 10000;
constexpr int GroupCount = 10;

// Steps of the frequencies the blank book ships, with how often each is used.
struct FrequencyChoice
{
    const char *id;
    FrequencyRule rule;
    int weight;
};

const FrequencyChoice choices[] = {
    {"01", {0, {}, u"1"_s}, 5},       {"02", {1, u"W"_s, u"0"_s}, 15}, {"03", {2, u"W"_s, u"0"_s}, 15},
    {"04", {4, u"W"_s, u"0"_s}, 10},  {"05", {1, u"M"_s, u"0"_s}, 35}, {"07", {3, u"M"_s, u"0"_s}, 10},
    {"09", {6, u"M"_s, u"0"_s}, 5},   {"10", {12, u"M"_s, u"0"_s}, 5},
};

// Items begin between 2005 and 2015; a fifth of them end within fifteen years.
QList<PaymentItem> makeItems(int count)
{
    std::mt19937 random(20110301);
    int total = 0;
    for (const auto &c : choices)
        total += c.weight;
    const QDate first(2005, 1, 1);
    QList<PaymentItem> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        PaymentItem item;
        item.IncID = i + 1;
        item.Description = u"Item %1 of the household book"_s.arg(i + 1);
        item.Amount = Money::fromUnits(qint64(random() % 5000000) + 10000);
        item.Type = random() % 3 == 0 ? u"1"_s : u"0"_s;
        item.DateBegin = first.addDays(random() % 3652);
        const bool ends = random() % 5 == 0;
        item.HasEnd = ends ? u"1"_s : u"0"_s;
        item.DateEnd = ends ? item.DateBegin.addDays(365 + random() % (14 * 365)) : item.DateBegin;
        int pick = int(random() % total);
        for (const auto &c : choices) {
            if (pick < c.weight) {
                item.FrequencyID = QString::fromLatin1(c.id);
                break;
            }
            pick -= c.weight;
        }
        items << item;
    }
    return items;
}

// A copy of the blank book holding the items, spread over ten groups in turn.
struct Book
{
    Book()
    {
        if (!dir.isValid() || !OpenTestBook(u"Blank.tqx"_s, u"Bench"_s))
            qFatal("cannot open the blank book");
        Connection *adc = dm->adc;
        Transaction t(adc);
        for (int g = 0; g < GroupCount; ++g)
            adc->Execute(u"insert into xt_tc_Group (GroupID, GroupName) values (%1, 'Group %1')"_s.arg(g + 1));
        items = makeItems(ItemCount);
        for (int i = 0; i < items.size(); ++i) {
            const PaymentItem &p = items.at(i);
            adc->Execute(u"insert into xt_td_Payment (IncID, Description, Amount, Type, DateBegin, DateEnd, HasEnd, "
                         u"GroupID, FrequencyID, AccountID) values (%1, '%2', %3, '%4', '%5', '%6', '%7', %8, '%9', 1)"_s
                             .arg(QString::number(p.IncID), p.Description, p.Amount.toString(), p.Type,
                                  p.DateBegin.toString(Qt::ISODate), p.DateEnd.toString(Qt::ISODate), p.HasEnd,
                                  QString::number(i % GroupCount + 1), p.FrequencyID));
        }
        t.commit();
        for (const auto &c : choices)
            rules.insert(QString::fromLatin1(c.id), c.rule);
    }

    TempProgramDir dir;
    QList<PaymentItem> items;
    QHash<QString, FrequencyRule> rules;
};

std::unique_ptr<Book> theBook;

Book &book()
{
    if (!theBook)
        theBook = std::make_unique<Book>();
    return *theBook;
}

void refresh(benchmark::State &state, QDate begin, QDate end, const QString &filter)
{
    book();
    DueList list;
    list.PeriodBegin = begin;
    list.PeriodEnd = end;
    list.GroupFilter = filter;
    for (auto _ : state) {
        list.RefreshDueList(dm->adc);
        benchmark::DoNotOptimize(list.EndingBalance());
    }
    state.counters["rows"] = list.RecordCount();
}

// 10,000 items over one month.
void BM_RefreshOneMonth(benchmark::State &state)
{
    refresh(state, QDate(2015, 6, 1), QDate(2015, 6, 30), QString());
}

// 1,000 items (one group) over ten years.
void BM_RefreshTenYears(benchmark::State &state)
{
    refresh(state, QDate(2015, 1, 1), QDate(2024, 12, 31), u" and GroupID in (1)"_s);
}

// Expansion, sort, balance and totals only, without the database.
void build(benchmark::State &state, QDate begin, QDate end, int every)
{
    Book &b = book();
    QList<PaymentItem> items;
    for (int i = 0; i < b.items.size(); i += every)
        items << b.items.at(i);
    DueList list;
    list.PeriodBegin = begin;
    list.PeriodEnd = end;
    for (auto _ : state) {
        list.Build(items, [&b](const PaymentItem &item) {
            const auto it = b.rules.constFind(item.FrequencyID);
            return it == b.rules.cend() ? nullptr : &it.value();
        });
        benchmark::DoNotOptimize(list.EndingBalance());
    }
    state.counters["rows"] = list.RecordCount();
}

void BM_BuildOneMonth(benchmark::State &state)
{
    build(state, QDate(2015, 6, 1), QDate(2015, 6, 30), 1);
}

void BM_BuildTenYears(benchmark::State &state)
{
    build(state, QDate(2015, 1, 1), QDate(2024, 12, 31), GroupCount);
}

// Only the item statement of the one-month refresh, through the dataset class.
void BM_ReadItems(benchmark::State &state)
{
    book();
    for (auto _ : state) {
        Query items(dm->adc);
        items.setSql(u"select * from xt_Td_payment where 1=1 "_s);
        items.Open();
        benchmark::DoNotOptimize(items.RecordCount());
    }
}

void BM_GuidCreateUuid(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(QUuid::createUuid().toString(QUuid::WithBraces).toUpper());
}

void BM_GuidNewGuidText(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(NewGuidText());
}

QString peakMemory()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    return {};
}

} // namespace

BENCHMARK(BM_RefreshOneMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshTenYears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildOneMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTenYears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuidCreateUuid);
BENCHMARK(BM_GuidNewGuidText);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theBook.reset();
    fprintf(stderr, "peak memory (VmHWM): %s\n", qPrintable(peakMemory()));
    return 0;
}
