#include "PaymentEditForm.h"
#include "ui_PaymentEditForm.h"

#include "CurrentAccount.h"
#include "DataGrid.h"
#include "DisplayFormat.h"
#include "GridLayout.h"
#include "Messages.h"
#include "Public.h"
#include "Query.h"
#include "SqlText.h"
#include "Tdm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <functional>

namespace {

const QString GroupTable = QStringLiteral("xt_tc_group");
const QString DueTable = QStringLiteral("xt_tc_due");

// Windows colour values are 0x00BBGGRR.
QColor windowsColour(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

const QColor &panelColour()
{
    static const QColor c = windowsColour(16775151);
    return c;
}

const QColor &bandColour()
{
    static const QColor c = windowsColour(15711909);
    return c;
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QPixmap closeImage()
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 80), 1.6));
    painter.drawLine(QPointF(1.5, 1.5), QPointF(8.5, 8.5));
    painter.drawLine(QPointF(8.5, 1.5), QPointF(1.5, 8.5));
    return pixmap;
}

// Hands one widget's events to a function without taking part in the base
// form's key preview.
class EventHook : public QObject
{
public:
    EventHook(QObject *watched, std::function<void(QEvent *)> handler)
        : QObject(watched), m_handler(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_handler(event);
        return false;
    }

private:
    std::function<void(QEvent *)> m_handler;
};

} // namespace

TfrmPaymentEditForm::TfrmPaymentEditForm(QWidget *parent)
    : TTBas(parent),
      m_ui(std::make_unique<Ui::frmPaymentEditForm>()),
      m_aqPayment(new Query(dm ? dm->adc : nullptr, this)),
      m_aqView(new Query(dm ? dm->adc : nullptr, this)),
      m_aqSelect(new Query(dm ? dm->adc : nullptr, this))
{
    m_aqPayment->setObjectName(QStringLiteral("aq_Payment"));
    m_aqView->setObjectName(QStringLiteral("aq_View"));
    m_aqSelect->setObjectName(QStringLiteral("aq_Select"));
    m_ui->setupUi(this);
    setFixedSize(size());

    setBackground(m_ui->pelTop, bandColour());
    setBackground(m_ui->pelBottom, bandColour());
    setBackground(m_ui->pelMain, panelColour());
    setBackground(m_ui->pelSelect, panelColour());
    setBackground(m_ui->pelSelectCaption, bandColour());
    QFont title = m_ui->lblCaption->font();
    title.setPixelSize(16);
    title.setBold(true);
    m_ui->lblCaption->setFont(title);
    m_ui->imgClose->setIcon(closeImage());

    // Up to four decimals, as the amount column holds them; the sign is let
    // through so that a negative amount meets its own message on save.
    m_ui->edtAmount->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d{0,14}(\\.\\d{0,4})?")), m_ui->edtAmount));

    m_ui->pelSelect->hide();
    m_ui->grdSelect->setDataSet(m_aqSelect);

    connect(m_ui->btnSave, &QPushButton::clicked, this, &TfrmPaymentEditForm::btnSaveClick);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &TfrmPaymentEditForm::btnCloseClick);
    connect(m_ui->chkEnd, &QCheckBox::toggled, this, &TfrmPaymentEditForm::chkEndClick);
    connect(m_ui->btnSelectGroup, &QToolButton::clicked, this,
            [this] { btnSelectGroupClick(mapFromGlobal(QCursor::pos())); });
    connect(m_ui->SpeedButton2, &QToolButton::clicked, this,
            [this] { SpeedButton2Click(mapFromGlobal(QCursor::pos())); });
    connect(m_ui->btnSearch, &QPushButton::clicked, this, &TfrmPaymentEditForm::btnSearchClick);
    connect(m_ui->btnCustom, &QPushButton::clicked, this, &TfrmPaymentEditForm::btnCustomClick);
    connect(m_ui->imgClose, &QToolButton::clicked, this, &TfrmPaymentEditForm::imgCloseClick);
    connect(m_ui->grdSelect, &DataGrid::DblClick, this, &TfrmPaymentEditForm::grdSelectDblClick);
    connect(m_ui->grdSelect, &DataGrid::ChangedColumnsWidth, this, [this] {
        SaveColumnWidths(m_selectTable, m_ui->grdSelect, objectName());
        LoadColumnWidths(m_selectTable, m_ui->grdSelect, objectName());
    });
    connect(m_ui->edtAmount, &QLineEdit::textEdited, this, &TfrmPaymentEditForm::amountEdited);
    m_eventHooks << new EventHook(m_ui->edtAmount, [this](QEvent *event) {
        if (event->type() == QEvent::FocusIn)
            showAmount(true);
        else if (event->type() == QEvent::FocusOut)
            showAmount(false);
    });
    m_eventHooks << new EventHook(m_ui->pelSelectCaption, [this](QEvent *event) { dragPicker(event); });
}

TfrmPaymentEditForm::~TfrmPaymentEditForm()
{
    // The hooks call into this window; the fields they watch outlive this destructor.
    qDeleteAll(m_eventHooks);
}

void TfrmPaymentEditForm::FormShow()
{
    TTBas::FormShow();
    // A restored window is shown again; the row is opened once.
    if (m_loaded)
        return;
    m_loaded = true;
    if (Mode == 1)
        openNew();
    else
        openEdit();
    ApplyInputMethod(m_ui->pelMain);
}

void TfrmPaymentEditForm::openNew()
{
    dm->RunSql(m_aqPayment, QStringLiteral("select * from xt_td_payment where 1=2 "), 1);
    m_aqPayment->Append();
    m_ui->dtpEnd->setEnabled(true);
    m_ui->dtpBegin->setDate(QDate::currentDate());
    m_ui->dtpEnd->setDate(QDate::currentDate());
    setTitle(QStringLiteral("Create income and expense items"));
    m_ui->edtDescription->setFocus();
    showAmount(false);
}

void TfrmPaymentEditForm::openEdit()
{
    dm->RunSql(m_aqPayment, QStringLiteral("select * from xt_td_payment where IncID=") + KeyValue, 1);
    m_aqPayment->Edit();
    setTitle(QStringLiteral("Modify the income and expense items"));
    m_ui->edtDescription->setFocus();

    dm->RunSql(m_aqView, QStringLiteral("select * from xt_vd_payment where IncID=") + KeyValue, 1);
    m_ui->edtDescription->setText(m_aqView->text(QStringLiteral("Description")));
    m_groupId = m_aqView->value(QStringLiteral("GroupID"));
    m_ui->edtGroupName->setText(m_aqView->text(QStringLiteral("GroupName")));
    if (m_aqView->text(QStringLiteral("Type")) != QLatin1String("1"))
        m_ui->rbtnExpense->setChecked(true);
    else
        m_ui->rbtnIncome->setChecked(true);
    m_ui->dtpBegin->setDate(m_aqView->value(QStringLiteral("DateBegin")).toDate());
    m_ui->dtpEnd->setDate(m_aqView->value(QStringLiteral("DateEnd")).toDate());
    const bool openEnded = m_aqView->text(QStringLiteral("HasEnd")) != QLatin1String("1");
    m_ui->chkEnd->setChecked(openEnded);
    m_ui->dtpEnd->setEnabled(!openEnded);
    m_frequencyId = m_aqView->value(QStringLiteral("FrequencyID"));
    m_ui->edtDueName->setText(m_aqView->text(QStringLiteral("Frequency")));
    m_aqView->Close();
    showAmount(false);
}

void TfrmPaymentEditForm::setTitle(const QString &title)
{
    m_ui->lblCaption->setText(title);
    setWindowTitle(title);
}

Money TfrmPaymentEditForm::amount() const
{
    if (!m_aqPayment->Active() || m_aqPayment->fieldIndex(QStringLiteral("Amount")) < 0)
        return Money();
    const QVariant v = m_aqPayment->value(QStringLiteral("Amount"));
    return v.isValid() && !v.isNull() ? v.value<Money>() : Money();
}

void TfrmPaymentEditForm::showAmount(bool editing)
{
    QString text;
    if (m_aqPayment->Active() && m_aqPayment->fieldIndex(QStringLiteral("Amount")) >= 0) {
        const QVariant v = m_aqPayment->value(QStringLiteral("Amount"));
        if (v.isValid() && !v.isNull())
            text = editing ? v.value<Money>().toString() : FormatFloat(QStringLiteral("#.##"), v.value<Money>());
    }
    m_ui->edtAmount->setText(text);
}

void TfrmPaymentEditForm::amountEdited(const QString &text)
{
    const Query::State state = m_aqPayment->state();
    if (state != Query::State::Insert && state != Query::State::Edit)
        return;
    bool ok = false;
    const Money m = Money::fromString(text, &ok);
    m_aqPayment->setValue(QStringLiteral("Amount"), ok ? QVariant::fromValue(m) : QVariant());
}

bool TfrmPaymentEditForm::validate()
{
    auto refuse = [this](const QString &text, QWidget *field) {
        ShowMessageBox(this, text, 1);
        field->setFocus();
        return false;
    };
    if (m_ui->edtDescription->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Please input the description!"), m_ui->edtDescription);
    if (m_ui->edtGroupName->text().isEmpty())
        return refuse(QStringLiteral("Please select a group !"), m_ui->btnSelectGroup);
    if (amount() <= Money())
        return refuse(QStringLiteral("Amount must more than Zero!"), m_ui->edtAmount);
    if (m_ui->edtDueName->text().isEmpty())
        return refuse(QStringLiteral("Please select a frequency !"), m_ui->SpeedButton2);
    return true;
}

void TfrmPaymentEditForm::btnSaveClick()
{
    if (!validate())
        return;
    Query *q = m_aqPayment;
    q->setValue(QStringLiteral("Description"), m_ui->edtDescription->text());
    q->setValue(QStringLiteral("DateBegin"), m_ui->dtpBegin->date());
    q->setValue(QStringLiteral("DateEnd"), m_ui->dtpEnd->date());
    q->setValue(QStringLiteral("Type"), m_ui->rbtnIncome->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    q->setValue(QStringLiteral("HasEnd"), m_ui->chkEnd->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    // The book an item was created in is written once and never changed.
    if (q->state() == Query::State::Insert)
        q->setValue(QStringLiteral("AccountID"), CurrentAccountID.isEmpty() ? QVariant() : QVariant(CurrentAccountID));
    q->setValue(QStringLiteral("GroupID"), m_groupId);
    q->setValue(QStringLiteral("FrequencyID"), m_frequencyId);
    q->Post();
    accept();
}

bool TfrmPaymentEditForm::confirmCancel()
{
    if (!ShowMessageBox(this, QStringLiteral("Do you wish to cancel the operation?"), 2))
        return false;
    m_aqPayment->Cancel();
    return true;
}

void TfrmPaymentEditForm::btnCloseClick()
{
    if (confirmCancel())
        reject();
}

void TfrmPaymentEditForm::closeEvent(QCloseEvent *event)
{
    if (!confirmCancel()) {
        event->ignore();
        return;
    }
    TTBas::closeEvent(event);
}

void TfrmPaymentEditForm::FormKeyDown(QKeyEvent *event)
{
    TTBas::FormKeyDown(event);
    if (event->key() == Qt::Key_Escape)
        btnCloseClick();
    else if (event->key() == Qt::Key_S && (event->modifiers() & Qt::ControlModifier))
        btnSaveClick();
}

void TfrmPaymentEditForm::chkEndClick()
{
    m_ui->dtpEnd->setEnabled(!m_ui->chkEnd->isChecked());
}

bool TfrmPaymentEditForm::isGroupList() const
{
    return m_selectTable.compare(GroupTable, Qt::CaseInsensitive) == 0;
}

void TfrmPaymentEditForm::selectList(const QString &table)
{
    m_selectFilter.clear();
    m_ui->edtSearch->clear();
    m_selectTable = table;
    loadSelect();
}

void TfrmPaymentEditForm::loadSelect()
{
    OpenGridQuery(objectName(), m_selectTable, m_aqSelect, m_ui->grdSelect,
                  QStringLiteral("select * from ") + m_selectTable, m_selectFilter);
    m_ui->lblRecordCount->setText(QStringLiteral("record count:") + QString::number(m_aqSelect->RecordCount()));
}

void TfrmPaymentEditForm::showPicker(const QPoint &topLeft)
{
    movePicker(topLeft);
    m_ui->pelSelect->show();
    m_ui->pelSelect->raise();
    m_ui->edtSearch->setFocus();
}

void TfrmPaymentEditForm::movePicker(const QPoint &topLeft)
{
    // The panel stays inside the dialog, so it is never cut off or off-screen.
    const QSize panel = m_ui->pelSelect->size();
    const int x = std::clamp(topLeft.x(), 0, std::max(0, width() - panel.width()));
    const int y = std::clamp(topLeft.y(), 0, std::max(0, height() - panel.height()));
    m_ui->pelSelect->move(x, y);
}

void TfrmPaymentEditForm::btnSelectGroupClick(const QPoint &mouse)
{
    selectList(GroupTable);
    const QSize panel = m_ui->pelSelect->size();
    showPicker(QPoint(mouse.x() - panel.width() / 2, mouse.y()));
}

void TfrmPaymentEditForm::SpeedButton2Click(const QPoint &mouse)
{
    selectList(DueTable);
    // Above the button, which sits near the bottom of the dialog.
    const QSize panel = m_ui->pelSelect->size();
    showPicker(QPoint(mouse.x() - panel.width() / 2, mouse.y() - panel.height() - 10));
}

void TfrmPaymentEditForm::btnSearchClick()
{
    const QString pattern = QuoteLike(m_ui->edtSearch->text());
    if (isGroupList())
        m_selectFilter = QStringLiteral(" and GroupName like ") + pattern;
    else if (m_selectTable.compare(DueTable, Qt::CaseInsensitive) == 0)
        m_selectFilter = QStringLiteral(" and DueName like ") + pattern;
    else
        return;
    loadSelect();
    m_ui->edtSearch->setFocus();
}

void TfrmPaymentEditForm::btnCustomClick()
{
    if (!m_selectTable.isEmpty())
        ShowColumnSetting(m_ui->grdSelect, m_selectTable, objectName());
}

void TfrmPaymentEditForm::grdSelectDblClick(int row)
{
    const bool group = isGroupList();
    QVariant id;
    QString name;
    // An empty list chooses nothing: the save then asks for a choice.
    if (m_aqSelect->Active() && !m_aqSelect->IsEmpty()) {
        const int r = row >= 0 ? row : m_aqSelect->row();
        id = m_aqSelect->value(r, m_aqSelect->fieldIndex(group ? QStringLiteral("GroupID") : QStringLiteral("FrequencyID")));
        name = m_aqSelect->value(r, m_aqSelect->fieldIndex(group ? QStringLiteral("GroupName") : QStringLiteral("Frequency")))
                   .toString();
    }
    if (group) {
        m_groupId = id;
        m_ui->edtGroupName->setText(name);
    } else {
        m_frequencyId = id;
        m_ui->edtDueName->setText(name);
    }
    m_ui->pelSelect->hide();
    (group ? m_ui->btnSelectGroup : m_ui->SpeedButton2)->setFocus();
}

void TfrmPaymentEditForm::imgCloseClick()
{
    m_ui->pelSelect->hide();
}

void TfrmPaymentEditForm::dragPicker(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragStart = mouse->globalPosition().toPoint();
            m_dragOrigin = m_ui->pelSelect->pos();
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging)
            movePicker(m_dragOrigin + static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragStart);
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
}
