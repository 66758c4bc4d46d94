#include "Money.h"
#include "XlsWriter.h"

#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Rows shaped like the due list: date, description, income, expense, balance, status.
QList<QVector<QVariant>> dueRows(int count)
{
    QList<QVector<QVariant>> rows;
    rows.reserve(count);
    const QDate start(2024, 1, 1);
    Money balance;
    for (int i = 0; i < count; ++i) {
        const Money income = i % 3 == 0 ? Money::fromUnits(qint64(i % 977) * 1234567) : Money();
        const Money expense = i % 3 == 0 ? Money() : Money::fromUnits(qint64(i % 613) * 98765);
        balance += income - expense;
        rows.append({start.addDays(i / 40),
                     i % 4 == 0 ? u"房租 flat %1"_s.arg(i % 500) : u"Supplier invoice %1"_s.arg(i % 2000),
                     QVariant::fromValue(income), QVariant::fromValue(expense), QVariant::fromValue(balance),
                     i % 17 == 0 ? u"Ignore"_s : u"count"_s});
    }
    return rows;
}

void BM_ExportDueRows(benchmark::State &state)
{
    const QList<QVector<QVariant>> rows = dueRows(int(state.range(0)));
    const QStringList captions{u"Date"_s, u"Description"_s, u"Income"_s, u"Expense"_s, u"Balance"_s, u"Status"_s};
    QTemporaryDir dir;
    const QString file = dir.filePath(u"due.xls"_s);
    for (auto _ : state) {
        QString error;
        if (!XlsWriter::Write(file, u"Due List"_s, captions, rows, &error)) {
            state.SkipWithError(error.toLocal8Bit().constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * rows.size());
    state.counters["file_MB"] = double(QFileInfo(file).size()) / (1024 * 1024);
}

} // namespace

BENCHMARK(BM_ExportDueRows)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

BENCHMARK_MAIN();
