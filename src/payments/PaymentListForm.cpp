#include "PaymentListForm.h"
#include "ui_PaymentListForm.h"

#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "DisplayFormat.h"
#include "GridLayout.h"
#include "Messages.h"
#include "PaymentEditForm.h"
#include "PaymentQueryForm.h"
#include "Public.h"
#include "Query.h"
#include "Report.h"
#include "SelectGroupForm.h"
#include "Tdm.h"
#include "XlsWriter.h"

#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString TotalsFormat = u"#,###.00"_s;
const QString DueAmountFormat = u"#,###.##"_s;
const QColor AlertColour(255, 89, 89);

Money moneyOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return Money::fromUnits(value.toLongLong() * Money::Scale);
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? Money::fromDouble(d) : Money();
}

enum class Arrow { DoubleLeft, Left, Today, Right, DoubleRight };

// The pictures of the period buttons: one or two triangles, or a dot for this month.
QIcon periodIcon(Arrow arrow, const QColor &colour)
{
    const qreal dpr = 2.0;
    QPixmap pixmap(QSize(16, 16) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    auto triangle = [&p](qreal tipX, bool left) {
        QPainterPath path;
        const qreal baseX = left ? tipX + 6.5 : tipX - 6.5;
        path.moveTo(tipX, 8);
        path.lineTo(baseX, 2.5);
        path.lineTo(baseX, 13.5);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (arrow) {
    case Arrow::DoubleLeft:
        triangle(1.5, true);
        triangle(8, true);
        break;
    case Arrow::Left:
        triangle(4.5, true);
        break;
    case Arrow::Today:
        p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
        break;
    case Arrow::Right:
        triangle(11.5, false);
        break;
    case Arrow::DoubleRight:
        triangle(8, false);
        triangle(14.5, false);
        break;
    }
    return QIcon(pixmap);
}

QLabel *addPanel(QStatusBar *bar, const QString &name, int minimumWidth, int stretch)
{
    auto *panel = new QLabel(bar);
    panel->setObjectName(name);
    panel->setMinimumWidth(minimumWidth);
    bar->addWidget(panel, stretch);
    return panel;
}

} // namespace

TfrmPaymentListForm::TfrmPaymentListForm(QWidget *owner, const QString &mode)
    : TListWindow(owner, mode, u"xt_vd_Payment"_s, u"xt_td_Payment"_s, u"IncID"_s),
      m_ui(std::make_unique<Ui::frmPaymentListForm>()),
      m_aqData(new Query(dm ? dm->adc : nullptr, this)),
      m_aqDue(new Query(nullptr, this))
{
    m_ui->setupUi(this);
    setObjectName(u"frmPaymentListForm"_s);
    m_aqData->setObjectName(u"aq_Data"_s);
    m_aqDue->setObjectName(u"aq_Due"_s);

    StyleListWindow(m_ui->Panel2, m_ui->lblTopic, m_ui->imgTopic, QStyle::SP_FileDialogDetailedView,
                    {m_ui->SBAdd, m_ui->SBEdit, m_ui->RzToolButton2, m_ui->SBPrint, m_ui->BtnBullets, m_ui->SBHelp,
                     m_ui->RzToolButton3});

    const QColor arrowColour(29, 53, 87);
    m_ui->btnYearPrior->setIcon(periodIcon(Arrow::DoubleLeft, arrowColour));
    m_ui->btnMonthPrior->setIcon(periodIcon(Arrow::Left, arrowColour));
    m_ui->btnThisMonth->setIcon(periodIcon(Arrow::Today, arrowColour));
    m_ui->btnMonthNext->setIcon(periodIcon(Arrow::Right, arrowColour));
    m_ui->btnYearNext->setIcon(periodIcon(Arrow::DoubleRight, arrowColour));
    m_ui->btnYearPrior->setAccessibleName(u"Prior year"_s);
    m_ui->btnMonthPrior->setAccessibleName(u"Prior month"_s);
    m_ui->btnThisMonth->setAccessibleName(u"This month"_s);
    m_ui->btnMonthNext->setAccessibleName(u"Next month"_s);
    m_ui->btnYearNext->setAccessibleName(u"Next year"_s);
    // The pickers show whole years; a two-digit year is easily mistyped.
    QString pickerFormat = QLocale().dateFormat(QLocale::ShortFormat);
    if (!pickerFormat.contains(u"yyyy"_s))
        pickerFormat.replace(u"yy"_s, u"yyyy"_s);
    m_ui->dtpBegin->setDisplayFormat(pickerFormat);
    m_ui->dtpEnd->setDisplayFormat(pickerFormat);

    addPanel(m_ui->sBar, u"sBarPanel0"_s, 200, 0);
    addPanel(m_ui->sBar, u"sBarPanel1"_s, 50, 1);
    addPanel(m_ui->sDueBar, u"sDueBarPanel0"_s, 150, 0);
    addPanel(m_ui->sDueBar, u"sDueBarPanel1"_s, 200, 0)->setText(u"double click row set  ignore"_s);
    addPanel(m_ui->sDueBar, u"sDueBarPanel2"_s, 150, 1)->setText(u"no group selected"_s);

    DataGrid *grid = m_ui->grdData;
    WireListGrid(grid, m_aqData, ViewName, objectName());
    SetListGrid(grid, m_aqData);
    grid->setMultiSelect(true);
    grid->setSelectionColour(DataGrid::SelectedRowColour());
    grid->setCellStyleHook([this](int row, int column, QColor &background, QColor &text) {
        colourDataCell(row, column, background, text);
    });
    setupDueGrid();

    connect(m_ui->SBAdd, &QToolButton::clicked, this, &TfrmPaymentListForm::SBAddClick);
    connect(m_ui->SBEdit, &QToolButton::clicked, this, &TfrmPaymentListForm::SBEditClick);
    connect(m_ui->RzToolButton2, &QToolButton::clicked, this, &TfrmPaymentListForm::RzToolButton2Click);
    connect(m_ui->SBPrint, &QToolButton::clicked, this, &TfrmPaymentListForm::SBPrintClick);
    connect(m_ui->BtnBullets, &QToolButton::clicked, this, &TfrmPaymentListForm::BtnBulletsClick);
    connect(m_ui->RzToolButton3, &QToolButton::clicked, this, &TfrmPaymentListForm::SBExitClick);
    connect(grid, &DataGrid::DblClick, this, &TfrmPaymentListForm::grdDataDblClick);
    connect(m_aqData, &Query::currentRowChanged, this, &TfrmPaymentListForm::aq_DataAfterScroll);
    connect(m_ui->pgList, &QTabWidget::currentChanged, this, &TfrmPaymentListForm::pgListChange);

    connect(m_ui->btnYearPrior, &QToolButton::clicked, this, &TfrmPaymentListForm::btnYearPriorClick);
    connect(m_ui->btnMonthPrior, &QToolButton::clicked, this, &TfrmPaymentListForm::btnMonthPriorClick);
    connect(m_ui->btnThisMonth, &QToolButton::clicked, this, &TfrmPaymentListForm::btnThisMonthClick);
    connect(m_ui->btnMonthNext, &QToolButton::clicked, this, &TfrmPaymentListForm::btnMonthNextClick);
    connect(m_ui->btnYearNext, &QToolButton::clicked, this, &TfrmPaymentListForm::btnYearNextClick);
    connect(m_ui->dtpBegin, &QDateEdit::dateChanged, this, &TfrmPaymentListForm::dtpBeginChange);
    connect(m_ui->dtpEnd, &QDateEdit::dateChanged, this, &TfrmPaymentListForm::dtpEndChange);
    connect(m_ui->grdDue, &DataGrid::DblClick, this, &TfrmPaymentListForm::grdDueDblClick);
    connect(m_ui->btnEditItem, &QPushButton::clicked, this, &TfrmPaymentListForm::btnEditItemClick);
    connect(m_ui->btnFilterGroup, &QPushButton::clicked, this, &TfrmPaymentListForm::btnFilterGroupClick);
    connect(m_ui->btnPrint, &QPushButton::clicked, this, &TfrmPaymentListForm::btnPrintClick);
    connect(m_ui->btnExport, &QPushButton::clicked, this, &TfrmPaymentListForm::btnExportClick);

    SetSaveFileChooser({});
    showTotals();
    LoadList();
}

TfrmPaymentListForm::~TfrmPaymentListForm() = default;

void TfrmPaymentListForm::setupDueGrid()
{
    m_aqDue->CreateDataSet({
        {u"Date"_s, FieldType::Date, u"DATE"_s},
        {u"Description"_s, FieldType::Text, u"VARCHAR(200)"_s},
        {u"Charge"_s, FieldType::Money, u"CURRENCY"_s},
        {u"Payment"_s, FieldType::Money, u"CURRENCY"_s},
        {u"Balance"_s, FieldType::Money, u"CURRENCY"_s},
        {u"Status"_s, FieldType::Text, u"VARCHAR(10)"_s},
        {u"PK"_s, FieldType::Text, u"VARCHAR(50)"_s},
        {u"PaymentIncID"_s, FieldType::Text, u"VARCHAR(10)"_s},
    });

    DataGrid *grid = m_ui->grdDue;
    grid->setAutoColumns(false);
    grid->setDataSet(m_aqDue);
    grid->buildColumns();
    struct Layout
    {
        QString field;
        QString caption;
        int width;
        QString format;
    };
    const Layout layout[] = {
        {u"Date"_s, u"Date"_s, 99, u"short date"_s},
        {u"Description"_s, u"Description"_s, 188, QString()},
        {u"Charge"_s, u"Income"_s, 100, DueAmountFormat},
        {u"Payment"_s, u"Expense"_s, 104, DueAmountFormat},
        {u"Balance"_s, u"Balance"_s, 133, DueAmountFormat},
        {u"Status"_s, u"Status"_s, 114, QString()},
    };
    for (const Layout &l : layout) {
        const int c = grid->columnByField(l.field);
        grid->setColumnCaption(c, l.caption);
        grid->setColumnWidth(c, l.width);
        grid->setColumnFormat(c, l.format);
        grid->setColumnSummary(c, GridSummary::None);
    }
    grid->setColumnVisible(grid->columnByField(u"PK"_s), false);
    grid->setColumnVisible(grid->columnByField(u"PaymentIncID"_s), false);
    grid->setMultiSelect(false);
    grid->setSelectionColour(DataGrid::SelectedRowColour());
    grid->setCellStyleHook([this](int row, int column, QColor &background, QColor &text) {
        colourDueCell(row, column, background, text);
    });
}

DataGrid *TfrmPaymentListForm::grdData() const
{
    return m_ui->grdData;
}

DataGrid *TfrmPaymentListForm::grdDue() const
{
    return m_ui->grdDue;
}

QDateEdit *TfrmPaymentListForm::dtpBegin() const
{
    return m_ui->dtpBegin;
}

QDateEdit *TfrmPaymentListForm::dtpEnd() const
{
    return m_ui->dtpEnd;
}

QLineEdit *TfrmPaymentListForm::edtIncome() const
{
    return m_ui->edtIncome;
}

QLineEdit *TfrmPaymentListForm::edtExpense() const
{
    return m_ui->edtExpense;
}

QLineEdit *TfrmPaymentListForm::edtEndingBalance() const
{
    return m_ui->edtEndingBalance;
}

QString TfrmPaymentListForm::StatusText() const
{
    const auto *panel = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s);
    return panel ? panel->text() : QString();
}

QString TfrmPaymentListForm::DueStatusText(int panel) const
{
    const auto *label = m_ui->sDueBar->findChild<QLabel *>(u"sDueBarPanel"_s + QString::number(panel));
    return label ? label->text() : QString();
}

void TfrmPaymentListForm::SetSaveFileChooser(SaveFileChooser chooser)
{
    m_saveFileChooser = chooser ? std::move(chooser) : SaveFileChooser([](QWidget *parent, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    });
}

void TfrmPaymentListForm::setHeader(const QString &topic, const QString &describ)
{
    m_ui->lblTopic->setText(topic);
    m_ui->lblTopicDescrib->setText(describ);
}

void TfrmPaymentListForm::colourDataCell(int row, int column, QColor &, QColor &text) const
{
    const DataGrid *grid = m_ui->grdData;
    if (grid->column(column).caption != u"Amount")
        return;
    const int f = grid->fieldOfColumn(column);
    if (f >= 0 && moneyOf(m_aqData->value(row, f)).isNegative())
        text = AlertColour;
}

void TfrmPaymentListForm::colourDueCell(int row, int column, QColor &background, QColor &text) const
{
    const DataGrid *grid = m_ui->grdDue;
    const QString &caption = grid->column(column).caption;
    const int f = grid->fieldOfColumn(column);
    if (f < 0)
        return;
    if (caption == u"Income" && !moneyOf(m_aqDue->value(row, f)).isZero())
        text = AlertColour;
    if (caption == u"Status" && m_aqDue->value(row, f).toString() == u"Ignore")
        background = AlertColour;
}

void TfrmPaymentListForm::LoadList()
{
    OpenGridQuery(objectName(), ViewName, m_aqData, m_ui->grdData, u"select * from "_s + ViewName, WhereText,
                  u" order by IncID"_s);
    // Replaces the text the scroll handler wrote while the query opened.
    if (auto *panel = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s))
        panel->setText(u"Record count:"_s + QString::number(m_aqData->RecordCount()) + u'.');
}

void TfrmPaymentListForm::aq_DataAfterScroll()
{
    if (auto *panel = m_ui->sBar->findChild<QLabel *>(u"sBarPanel0"_s))
        panel->setText(u" Record count: "_s + QString::number(m_aqData->RecordCount()));
}

void TfrmPaymentListForm::SBAddClick()
{
    const bool saved = NewRow([this] {
        auto editor = std::make_unique<TfrmPaymentEditForm>(this);
        editor->Mode = 1;
        return editor;
    });
    if (saved)
        ItemsChanged = true;
}

void TfrmPaymentListForm::SBEditClick()
{
    const bool saved = EditRow([this](const QString &key) {
        auto editor = std::make_unique<TfrmPaymentEditForm>(this);
        editor->Mode = 0;
        editor->KeyValue = key;
        return editor;
    });
    if (saved)
        ItemsChanged = true;
}

void TfrmPaymentListForm::RzToolButton2Click()
{
    if (!PermissionCheck(RightCode("03")))
        return;
    if (m_aqData->IsEmpty())
        return;
    DataGrid *grid = m_ui->grdData;
    const QList<int> rows = grid->selectedRows();
    if (rows.isEmpty()) {
        ShowPlainMessage(this, u"please select the data you want to delete."_s, u"Message"_s,
                         QMessageBox::Information);
        return;
    }
    if (ShowPlainMessage(this, u"do you want to delete the record?"_s, u"Message"_s, QMessageBox::Information,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;

    DeleteSelectedRows(
        rows,
        [this](const QString &key) {
            DeleteRow(key);
            ItemsChanged = true;
        },
        [this] { LoadList(); });
}

void TfrmPaymentListForm::SBPrintClick()
{
    SearchRows(std::make_unique<TfrmPaymentQueryForm>(this));
}

void TfrmPaymentListForm::pgListChange(int index)
{
    if (m_ui->pgList->widget(index) == m_ui->tabDue) {
        setHeader(u"Due List"_s, u"Display due list"_s);
        // A first computation already sees every change to the items.
        if (!m_dueComputed)
            recompute([this] { m_due.SetThisMonth(dm->adc); });
        else if (ItemsChanged)
            RefreshDueList();
        ItemsChanged = false;
        return;
    }
    setHeader(u"income and expense"_s, u"Definition of income and expense items"_s);
    const QString key = m_aqData->IsEmpty() ? QString() : m_aqData->text(KeyField);
    LoadList();
    if (!key.isEmpty())
        m_aqData->Locate(KeyField, key);
}

void TfrmPaymentListForm::recompute(const std::function<void()> &change)
{
    const QDate begin = m_due.PeriodBegin;
    const QDate end = m_due.PeriodEnd;
    const QString filter = m_due.GroupFilter;
    {
        WaitCursor wait;
        try {
            change();
        } catch (...) {
            m_due.PeriodBegin = begin;
            m_due.PeriodEnd = end;
            m_due.GroupFilter = filter;
            showPeriod();
            throw;
        }
        m_dueComputed = true;
        showDueList();
    }
    Q_EMIT DueListRefreshed();
}

void TfrmPaymentListForm::RefreshDueList()
{
    recompute([this] { m_due.RefreshDueList(dm->adc); });
}

void TfrmPaymentListForm::showDueList()
{
    const QList<DueRow> &rows = m_due.rows();
    QList<QVector<QVariant>> records;
    records.reserve(rows.size());
    for (const DueRow &r : rows)
        records << QVector<QVariant>{r.Date,
                                     r.Description,
                                     QVariant::fromValue(r.Charge),
                                     QVariant::fromValue(r.Payment),
                                     QVariant::fromValue(r.Balance),
                                     r.Status,
                                     r.PK,
                                     r.PaymentIncID};
    m_aqDue->SetRecords(std::move(records));
    if (auto *panel = m_ui->sDueBar->findChild<QLabel *>(u"sDueBarPanel0"_s))
        panel->setText(u"Recordcount :"_s + QString::number(m_due.RecordCount()));
    showTotals();
    showPeriod();
}

void TfrmPaymentListForm::showPeriod()
{
    // Setting the pickers from here is no user change: no second computation.
    const QSignalBlocker blockBegin(m_ui->dtpBegin);
    const QSignalBlocker blockEnd(m_ui->dtpEnd);
    if (m_due.PeriodBegin.isValid())
        m_ui->dtpBegin->setDate(m_due.PeriodBegin);
    if (m_due.PeriodEnd.isValid())
        m_ui->dtpEnd->setDate(m_due.PeriodEnd);
}

void TfrmPaymentListForm::showTotals()
{
    m_ui->edtIncome->setText(FormatFloat(TotalsFormat, m_due.Income()));
    m_ui->edtExpense->setText(FormatFloat(TotalsFormat, m_due.Expense()));
    m_ui->edtEndingBalance->setText(FormatFloat(TotalsFormat, m_due.EndingBalance()));
}

int TfrmPaymentListForm::dueIndexOf(int gridRow) const
{
    const int index = m_aqDue->bookmarkOf(gridRow);
    return index >= 0 && index < m_due.RecordCount() ? index : -1;
}

QList<DueRow> TfrmPaymentListForm::DisplayedDueRows() const
{
    QList<DueRow> rows;
    rows.reserve(m_aqDue->RecordCount());
    for (int r = 0; r < m_aqDue->RecordCount(); ++r) {
        const int index = dueIndexOf(r);
        if (index >= 0)
            rows << m_due.rows().at(index);
    }
    return rows;
}

QString TfrmPaymentListForm::PeriodText() const
{
    const QLocale locale;
    return locale.toString(m_ui->dtpBegin->date(), QLocale::ShortFormat) + u" to "_s
           + locale.toString(m_ui->dtpEnd->date(), QLocale::ShortFormat);
}

void TfrmPaymentListForm::btnYearPriorClick()
{
    recompute([this] { m_due.ShiftPeriod(-12, dm->adc); });
}

void TfrmPaymentListForm::btnMonthPriorClick()
{
    recompute([this] { m_due.ShiftPeriod(-1, dm->adc); });
}

void TfrmPaymentListForm::btnThisMonthClick()
{
    recompute([this] { m_due.SetThisMonth(dm->adc); });
    ItemsChanged = false;
}

void TfrmPaymentListForm::btnMonthNextClick()
{
    recompute([this] { m_due.ShiftPeriod(1, dm->adc); });
}

void TfrmPaymentListForm::btnYearNextClick()
{
    recompute([this] { m_due.ShiftPeriod(12, dm->adc); });
}

void TfrmPaymentListForm::dtpBeginChange()
{
    recompute([this] {
        m_due.PeriodBegin = m_ui->dtpBegin->date();
        m_due.RefreshDueList(dm->adc);
    });
}

void TfrmPaymentListForm::dtpEndChange()
{
    recompute([this] {
        m_due.PeriodEnd = m_ui->dtpEnd->date();
        m_due.RefreshDueList(dm->adc);
    });
}

void TfrmPaymentListForm::grdDueDblClick(int row)
{
    const int index = row >= 0 ? dueIndexOf(row) : -1;
    if (index < 0)
        return;
    m_aqDue->setRow(row);
    m_due.ToggleIgnore(index);
    m_aqDue->setStoredValue(row, m_aqDue->fieldIndex(u"Status"_s), m_due.rows().at(index).Status);
    showTotals();
}

void TfrmPaymentListForm::btnEditItemClick()
{
    if (m_due.RecordCount() == 0 || m_aqDue->row() < 0)
        return;
    auto editor = std::make_unique<TfrmPaymentEditForm>(this);
    editor->Mode = 0;
    editor->KeyValue = m_aqDue->text(u"PaymentIncID"_s);
    if (RunDialog(editor.get()) != QDialog::Accepted)
        return;
    RefreshDueList();
}

void TfrmPaymentListForm::btnFilterGroupClick()
{
    auto filter = std::make_unique<TfrmSelectGroupForm>(this);
    if (RunDialog(filter.get()) != QDialog::Accepted)
        return;
    const QString ids = filter->GroupIds;
    const QString names = filter->GroupNames;
    recompute([this, &ids] {
        m_due.GroupFilter = ids.isEmpty() ? QString() : u" and GroupID in ("_s + ids + u')';
        m_due.RefreshDueList(dm->adc);
    });
    if (auto *panel = m_ui->sDueBar->findChild<QLabel *>(u"sDueBarPanel2"_s))
        panel->setText(ids.isEmpty() ? u"no group selected"_s : u"selected group:"_s + names);
}

void TfrmPaymentListForm::btnPrintClick()
{
    TFrmReportForm::Print(this, DisplayedDueRows(), PeriodText(), m_ui->edtIncome->text(),
                          m_ui->edtExpense->text(), m_ui->edtEndingBalance->text());
}

void TfrmPaymentListForm::btnExportClick()
{
    QString fileName = m_saveFileChooser(this, u"Excel(*.xls)"_s);
    if (fileName.isEmpty())
        return;
    // A name that already ends in .xls keeps it once.
    if (!fileName.endsWith(u".xls"_s, Qt::CaseInsensitive))
        fileName += u".xls"_s;
    ExportDueList(fileName);
}

bool TfrmPaymentListForm::ExportDueList(const QString &fileName)
{
    const DataGrid *grid = m_ui->grdDue;
    QStringList captions;
    QList<int> fields;
    for (int c = 0; c < grid->columnCount(); ++c) {
        const int f = grid->fieldOfColumn(c);
        if (!grid->columnVisible(c) || f < 0)
            continue;
        captions << grid->column(c).caption;
        fields << f;
    }
    QString error;
    bool written = false;
    {
        WaitCursor wait;
        QList<QVector<QVariant>> rows;
        rows.reserve(m_aqDue->RecordCount());
        for (int r = 0; r < m_aqDue->RecordCount(); ++r) {
            QVector<QVariant> values;
            values.reserve(fields.size());
            for (int f : std::as_const(fields))
                values << m_aqDue->value(r, f);
            rows << values;
        }
        written = XlsWriter::Write(fileName, u"Due list"_s, captions, rows, &error);
    }
    if (!written)
        ShowPlainMessage(this,
                         u"The due list could not be exported to "_s + QDir::toNativeSeparators(fileName) + u".\n"_s
                             + error,
                         u"Message"_s, QMessageBox::Warning);
    return written;
}
