#include "Connection.h"
#include "DataGrid.h"
#include "GridLayout.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Rows = 100000;
const QString View = u"xt_vd_Payment"_s;
const QString Form = u"frmPaymentListForm"_s;

struct Book
{
    std::unique_ptr<TempProgramDir> dir;
    std::unique_ptr<Query> query;
    std::unique_ptr<DataGrid> grid;
};

Book *g_book = nullptr;

// A book whose item list holds 100,000 rows with varied descriptions, amounts and dates.
bool makeBook(Book &book)
{
    book.dir = std::make_unique<TempProgramDir>();
    if (!book.dir->isValid() || !OpenTestBook())
        return false;
    Transaction t(dm->adc);
    dm->adc->Execute(u"delete from xt_td_Payment"_s);
    dm->adc->Execute(QStringLiteral(
        "insert into xt_td_Payment (Description, Amount, Type, DateBegin, DateEnd, HasEnd, GroupID, FrequencyID, AccountID) "
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
        "select 'Item ' || ((i * 7919) % %1), ((i * 37) % 100000) / 100.0 - 250, i % 2, "
        "date('2024-01-01', '+' || (i % 700) || ' days'), date('2026-01-01', '+' || (i % 300) || ' days'), "
        "i % 2, 1 + i % 6, printf('%02d', 1 + i % 10), 1 from n").arg(Rows));
    t.commit();
    book.query = std::make_unique<Query>(dm->adc);
    book.grid = std::make_unique<DataGrid>();
    book.grid->resize(1000, 600);
    book.grid->setMultiSelect(true);
    book.grid->setFooterVisible(true);
    WireListGrid(book.grid.get(), book.query.get(), View, Form);
    book.grid->show();
    QApplication::processEvents();
    return true;
}

void openList()
{
    OpenGridQuery(Form, View, g_book->query.get(), g_book->grid.get(), u"select * from "_s + View, u" order by IncID"_s);
}

void BM_OpenGridQuery(benchmark::State &state)
{
    for (auto _ : state) {
        openList();
        // Paint once, with the footer sums, as the window would.
        g_book->grid->repaint();
        benchmark::DoNotOptimize(g_book->query->RecordCount());
    }
    if (g_book->query->RecordCount() != Rows)
        state.SkipWithError("the list did not load every row");
}
BENCHMARK(BM_OpenGridQuery)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HeaderClickSort(benchmark::State &state)
{
    openList();
    DataGrid *grid = g_book->grid.get();
    const int column = grid->columnByField(state.range(0) == 0 ? u"Description"_s : u"Amount"_s);
    for (auto _ : state) {
        Q_EMIT grid->ColumnClick(column);
        grid->repaint();
    }
    if (g_book->query->sort().isEmpty())
        state.SkipWithError("no sort was applied");
}
BENCHMARK(BM_HeaderClickSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_ScrollThroughRows(benchmark::State &state)
{
    openList();
    QTableView *view = g_book->grid->view();
    for (auto _ : state) {
        view->scrollToBottom();
        view->viewport()->repaint();
        view->scrollToTop();
        view->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollThroughRows)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Book book;
    if (!makeBook(book))
        return 1;
    g_book = &book;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_book = nullptr;
    return 0;
}
