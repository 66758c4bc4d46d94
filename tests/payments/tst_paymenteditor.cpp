#include "Connection.h"
#include "CurrentAccount.h"
#include "DataGrid.h"
#include "GridLayout.h"
#include "IniFile.h"
#include "Money.h"
#include "PaymentEditForm.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every stored column of one item exactly as the database holds it.
QString rawRow(const QString &incId)
{
    Query q(dm->adc);
    dm->RunSql(&q,
               u"select quote(IncID)||'|'||quote(Description)||'|'||quote(Amount)||'|'||quote(Type)||'|'"
               "||quote(DateBegin)||'|'||quote(DateEnd)||'|'||quote(HasEnd)||'|'||quote(GroupID)||'|'"
               "||quote(FrequencyID)||'|'||quote(AccountID) from xt_td_Payment where IncID="_s
                   + incId,
               1);
    return q.IsEmpty() ? QString() : q.value(0, 0).toString();
}

int itemCount()
{
    Query q(dm->adc);
    dm->RunSql(&q, u"select count(*) from xt_td_Payment"_s, 1);
    return q.value(0, 0).toInt();
}

QString lastIncId()
{
    Query q(dm->adc);
    dm->RunSql(&q, u"select max(IncID) from xt_td_Payment"_s, 1);
    return q.value(0, 0).toString();
}

template <typename T>
T *child(const QWidget &dlg, const QString &name)
{
    return dlg.findChild<T *>(name);
}

QWidget *picker(const QWidget &dlg)
{
    return child<QWidget>(dlg, u"pelSelect"_s);
}

int rowNamed(TfrmPaymentEditForm &dlg, const QString &column, const QString &name)
{
    Query *q = dlg.aqSelect();
    for (int r = 0; r < q->RecordCount(); ++r)
        if (q->value(r, q->fieldIndex(column)).toString() == name)
            return r;
    return -1;
}

void pickGroup(TfrmPaymentEditForm &dlg, const QString &name)
{
    dlg.btnSelectGroupClick(QPoint(250, 100));
    const int r = rowNamed(dlg, u"GroupName"_s, name);
    QVERIFY2(r >= 0, qPrintable(name));
    dlg.grdSelectDblClick(r);
}

void pickFrequency(TfrmPaymentEditForm &dlg, const QString &name)
{
    dlg.SpeedButton2Click(QPoint(250, 300));
    const int r = rowNamed(dlg, u"Frequency"_s, name);
    QVERIFY2(r >= 0, qPrintable(name));
    dlg.grdSelectDblClick(r);
}

void typeAmount(TfrmPaymentEditForm &dlg, const QString &text)
{
    auto *amount = child<QLineEdit>(dlg, u"edtAmount"_s);
    amount->clear();
    QTest::keyClicks(amount, text);
}

} // namespace

class TestPaymentEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newItemDefaults();
    void validation_data();
    void validation();
    void newItemWritesEveryColumn_data();
    void newItemWritesEveryColumn();
    void editOpenEndedRoundTrips();
    void editWritesChangesButNotAccount();
    void pickerSearch_data();
    void pickerSearch();
    void pickerUsesItsLayoutKeys();
    void pickerPlacement_data();
    void pickerPlacement();
    void pickerChooseAndClose();
    void emptyPickerChoosesNothing();
    void dragCaptionMovesPicker();
    void cancelQuestion_data();
    void cancelQuestion();
    void ctrlSSaves();

private:
    std::unique_ptr<TempProgramDir> m_dir;
};

void TestPaymentEditor::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(OpenTestBook());
}

void TestPaymentEditor::cleanup()
{
    m_dir.reset();
}

void TestPaymentEditor::newItemDefaults()
{
    TfrmPaymentEditForm dlg;
    dlg.Mode = 1;
    dlg.show();
    QCOMPARE(dlg.objectName(), u"frmPaymentEditForm"_s);
    QCOMPARE(child<QLabel>(dlg, u"lblCaption"_s)->text(), u"Create income and expense items"_s);
    bool introduced = false;
    for (QLabel *l : dlg.findChildren<QLabel *>())
        introduced = introduced || l->text() == u"To create a new income or expense item"_s;
    QVERIFY(introduced);
    QCOMPARE(child<QDateEdit>(dlg, u"dtpBegin"_s)->date(), QDate::currentDate());
    QCOMPARE(child<QDateEdit>(dlg, u"dtpEnd"_s)->date(), QDate::currentDate());
    QVERIFY(child<QDateEdit>(dlg, u"dtpEnd"_s)->isEnabled());
    QVERIFY(child<QRadioButton>(dlg, u"rbtnIncome"_s)->isChecked());
    QCOMPARE(child<QCheckBox>(dlg, u"chkEnd"_s)->text(), u" no End"_s);
    QVERIFY(!child<QCheckBox>(dlg, u"chkEnd"_s)->isChecked());
    QVERIFY(child<QLineEdit>(dlg, u"edtDescription"_s)->text().isEmpty());
    QVERIFY(child<QLineEdit>(dlg, u"edtGroupName"_s)->text().isEmpty());
    QVERIFY(child<QLineEdit>(dlg, u"edtDueName"_s)->text().isEmpty());
    QVERIFY(!picker(dlg)->isVisible());
    QCOMPARE(dlg.focusWidget(), child<QWidget>(dlg, u"edtDescription"_s));
    QCOMPARE(dlg.aqPayment()->state(), Query::State::Insert);

    // " no End" switches the To date off and on again.
    child<QCheckBox>(dlg, u"chkEnd"_s)->click();
    QVERIFY(!child<QDateEdit>(dlg, u"dtpEnd"_s)->isEnabled());
    child<QCheckBox>(dlg, u"chkEnd"_s)->click();
    QVERIFY(child<QDateEdit>(dlg, u"dtpEnd"_s)->isEnabled());
}

void TestPaymentEditor::validation_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("group");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("frequency");
    QTest::addColumn<QString>("message");

    const QString noDescription = u"Please input the description!"_s;
    const QString noGroup = u"Please select a group !"_s;
    const QString noAmount = u"Amount must more than Zero!"_s;
    const QString noFrequency = u"Please select a frequency !"_s;
    QTest::newRow("everything missing: description first") << QString() << false << QString() << false << noDescription;
    QTest::newRow("description of blanks") << u"   "_s << true << u"5"_s << true << noDescription;
    QTest::newRow("group before amount") << u"Rent"_s << false << QString() << false << noGroup;
    QTest::newRow("no amount") << u"Rent"_s << true << QString() << false << noAmount;
    QTest::newRow("zero amount") << u"Rent"_s << true << u"0"_s << true << noAmount;
    QTest::newRow("negative amount") << u"Rent"_s << true << u"-12.5"_s << true << noAmount;
    QTest::newRow("frequency last") << u"Rent"_s << true << u"0.01"_s << false << noFrequency;
}

void TestPaymentEditor::validation()
{
    QFETCH(QString, description);
    QFETCH(bool, group);
    QFETCH(QString, amount);
    QFETCH(bool, frequency);
    QFETCH(QString, message);

    const int before = itemCount();
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.Mode = 1;
    dlg.show();
    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(description);
    if (group)
        pickGroup(dlg, u"Car"_s);
    if (!amount.isEmpty())
        typeAmount(dlg, amount);
    if (frequency)
        pickFrequency(dlg, u"Monthly"_s);

    dlg.btnSaveClick();
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.lastText(), message);
    QCOMPARE(rec.messages().last().caption, u"Message"_s);
    QCOMPARE(rec.messages().last().icon, QMessageBox::Information);
    QCOMPARE(rec.messages().last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.result() != QDialog::Accepted);
    QCOMPARE(itemCount(), before);
    QCOMPARE(child<QLineEdit>(dlg, u"edtDescription"_s)->text(), description);
    QCOMPARE(child<QLineEdit>(dlg, u"edtGroupName"_s)->text(), group ? u"Car"_s : QString());
}

void TestPaymentEditor::newItemWritesEveryColumn_data()
{
    QTest::addColumn<bool>("income");
    QTest::addColumn<bool>("openEnded");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");

    QTest::newRow("expense with an end, four decimals")
        << false << false << u"1234.5678"_s << qint64(12345678) << QDate(2025, 2, 3) << QDate(2026, 1, 31);
    QTest::newRow("open-ended income keeps its To date")
        << true << true << u"920"_s << qint64(9200000) << QDate(2024, 3, 8) << QDate(2024, 12, 31);
    QTest::newRow("To before From is accepted")
        << false << false << u".5"_s << qint64(5000) << QDate(2025, 6, 30) << QDate(2025, 1, 1);
}

void TestPaymentEditor::newItemWritesEveryColumn()
{
    QFETCH(bool, income);
    QFETCH(bool, openEnded);
    QFETCH(QString, amount);
    QFETCH(qint64, units);
    QFETCH(QDate, from);
    QFETCH(QDate, to);

    CurrentAccountID = u"42"_s;
    const int before = itemCount();
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.Mode = 1;
    dlg.show();
    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(u"Storage unit"_s);
    pickGroup(dlg, u"Insurance"_s);
    QCOMPARE(dlg.GroupID().toLongLong(), 5);
    typeAmount(dlg, amount);
    child<QRadioButton>(dlg, income ? u"rbtnIncome"_s : u"rbtnExpense"_s)->setChecked(true);
    child<QDateEdit>(dlg, u"dtpBegin"_s)->setDate(from);
    child<QDateEdit>(dlg, u"dtpEnd"_s)->setDate(to);
    child<QCheckBox>(dlg, u"chkEnd"_s)->setChecked(openEnded);
    pickFrequency(dlg, u"Quarterly"_s);

    dlg.btnSaveClick();
    QVERIFY2(rec.count() == 0, qPrintable(rec.lastText()));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(itemCount(), before + 1);

    const QString id = lastIncId();
    Query q(dm->adc);
    dm->RunSql(&q, u"select * from xt_td_Payment where IncID="_s + id, 1);
    QCOMPARE(q.text(u"Description"_s), u"Storage unit"_s);
    QCOMPARE(q.value(u"Amount"_s).value<Money>().units(), units);
    QCOMPARE(q.text(u"Type"_s), income ? u"1"_s : u"0"_s);
    QCOMPARE(q.text(u"HasEnd"_s), openEnded ? u"0"_s : u"1"_s);
    QCOMPARE(q.value(u"GroupID"_s).toLongLong(), 5);
    QCOMPARE(q.text(u"FrequencyID"_s), u"07"_s);
    QCOMPARE(q.value(u"AccountID"_s).toLongLong(), 42);
    // Dates are stored without a time of day.
    const QStringList raw = rawRow(id).split(u'|');
    QCOMPARE(raw.at(4), u"'"_s + from.toString(Qt::ISODate) + u"'"_s);
    QCOMPARE(raw.at(5), u"'"_s + to.toString(Qt::ISODate) + u"'"_s);
}

void TestPaymentEditor::editOpenEndedRoundTrips()
{
    // Item 3, "Flat rent", is open-ended.
    CurrentAccountID = u"77"_s;
    const QString before = rawRow(u"3"_s);
    QVERIFY(before.endsWith(u"|1"_s));
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.Mode = 0;
    dlg.KeyValue = u"3"_s;
    dlg.show();
    QCOMPARE(child<QLabel>(dlg, u"lblCaption"_s)->text(), u"Modify the income and expense items"_s);
    QCOMPARE(child<QLineEdit>(dlg, u"edtDescription"_s)->text(), u"Flat rent"_s);
    QCOMPARE(child<QLineEdit>(dlg, u"edtGroupName"_s)->text(), u"Household"_s);
    QCOMPARE(child<QLineEdit>(dlg, u"edtDueName"_s)->text(), u"Monthly"_s);
    QCOMPARE(child<QLineEdit>(dlg, u"edtAmount"_s)->text(), u"1450"_s);
    QVERIFY(child<QRadioButton>(dlg, u"rbtnExpense"_s)->isChecked());
    QCOMPARE(child<QDateEdit>(dlg, u"dtpBegin"_s)->date(), QDate(2024, 2, 1));
    QVERIFY(child<QCheckBox>(dlg, u"chkEnd"_s)->isChecked());
    QVERIFY(!child<QDateEdit>(dlg, u"dtpEnd"_s)->isEnabled());
    QCOMPARE(dlg.aqPayment()->state(), Query::State::Edit);

    dlg.btnSaveClick();
    QCOMPARE(rec.count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(rawRow(u"3"_s), before);
}

void TestPaymentEditor::editWritesChangesButNotAccount()
{
    // Item 9, "Car loan instalment", ends on 2029-04-30 and belongs to book 1.
    CurrentAccountID = u"77"_s;
    const int before = itemCount();
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.Mode = 0;
    dlg.KeyValue = u"9"_s;
    dlg.show();
    QVERIFY(!child<QCheckBox>(dlg, u"chkEnd"_s)->isChecked());
    QVERIFY(child<QDateEdit>(dlg, u"dtpEnd"_s)->isEnabled());
    QCOMPARE(child<QDateEdit>(dlg, u"dtpEnd"_s)->date(), QDate(2029, 4, 30));

    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(u"Car loan (refinanced)"_s);
    typeAmount(dlg, u"301.25"_s);
    child<QRadioButton>(dlg, u"rbtnIncome"_s)->setChecked(true);
    child<QCheckBox>(dlg, u"chkEnd"_s)->setChecked(true);
    pickGroup(dlg, u"Business"_s);
    pickFrequency(dlg, u"Yearly"_s);
    dlg.btnSaveClick();
    QCOMPARE(rec.count(), 0);
    QCOMPARE(itemCount(), before);
    QCOMPARE(rawRow(u"9"_s),
             u"9|'Car loan (refinanced)'|301.25|'1'|'2024-05-31'|'2029-04-30'|'0'|3|'10'|1"_s);
}

void TestPaymentEditor::pickerSearch_data()
{
    QTest::addColumn<bool>("group");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("group with a quote") << true << u"O'Brien"_s << u" and GroupName like '%O''Brien%'"_s
                                        << QStringList{u"O'Brien"_s};
    QTest::newRow("group, any case") << true << u"SAL"_s << u" and GroupName like '%SAL%'"_s
                                     << QStringList{u"Salary"_s};
    QTest::newRow("empty group search lists every named group")
        << true << QString() << u" and GroupName like '%%'"_s
        << QStringList{u"Household"_s, u"Salary"_s, u"Business"_s, u"Car"_s, u"Insurance"_s, u"Leisure"_s,
                       u"O'Brien"_s};
    QTest::newRow("frequency by DueName") << false << u"month"_s << u" and DueName like '%month%'"_s
                                          << QStringList{u"Monthly"_s, u"Every 2 months"_s, u"Every 4 months"_s};
    QTest::newRow("frequency with a quote") << false << u"it's"_s << u" and DueName like '%it''s%'"_s
                                            << QStringList{};
}

void TestPaymentEditor::pickerSearch()
{
    QFETCH(bool, group);
    QFETCH(QString, text);
    QFETCH(QString, filter);
    QFETCH(QStringList, names);

    dm->adc->Execute(u"insert into xt_tc_Group (GroupName) values ('O''Brien')"_s);
    dm->adc->Execute(u"insert into xt_tc_Group (GroupName) values (null)"_s);
    TfrmPaymentEditForm dlg;
    dlg.show();
    if (group)
        dlg.btnSelectGroupClick(QPoint(250, 100));
    else
        dlg.SpeedButton2Click(QPoint(250, 300));
    // A new pick starts unfiltered.
    QVERIFY(dlg.SelectFilter().isEmpty());
    QCOMPARE(dlg.aqSelect()->RecordCount(), group ? 8 : 10);

    auto *search = child<QLineEdit>(dlg, u"edtSearch"_s);
    QTest::keyClicks(search, text);
    QTest::mouseClick(child<QPushButton>(dlg, u"btnSearch"_s), Qt::LeftButton);
    QCOMPARE(dlg.SelectFilter(), filter);
    QStringList found;
    Query *q = dlg.aqSelect();
    for (int r = 0; r < q->RecordCount(); ++r)
        found << q->value(r, q->fieldIndex(group ? u"GroupName"_s : u"Frequency"_s)).toString();
    QCOMPARE(found, names);
    QCOMPARE(child<QLabel>(dlg, u"lblRecordCount"_s)->text(), u"record count:"_s + QString::number(names.size()));
    QCOMPARE(dlg.focusWidget(), search);

    // Opening the other list again clears the search.
    dlg.btnSelectGroupClick(QPoint(250, 100));
    QVERIFY(search->text().isEmpty());
    QVERIFY(dlg.SelectFilter().isEmpty());
}

void TestPaymentEditor::pickerUsesItsLayoutKeys()
{
    IniFile customer(CustomerIniFile());
    QVERIFY(customer.WriteString(u"xt_tc_groupfrmPaymentEditForm"_s, u"GroupName"_s, QString()));
    QVERIFY(customer.WriteString(u"xt_tc_duefrmPaymentEditForm"_s, u"Frequency"_s, QString()));
    QVERIFY(customer.WriteString(u"xt_tc_duefrmPaymentEditForm"_s, u"DueName"_s, QString()));
    QVERIFY(IniFile(WidthIniFile()).WriteString(u"xt_tc_groupfrmPaymentEditForm"_s, u"GroupName"_s, u"181"_s));

    TfrmPaymentEditForm dlg;
    dlg.show();
    auto *grid = child<DataGrid>(dlg, u"grdSelect"_s);
    auto visible = [grid] {
        QStringList names;
        for (int c = 0; c < grid->columnCount(); ++c)
            if (grid->columnVisible(c))
                names << grid->column(c).fieldName;
        return names;
    };
    dlg.btnSelectGroupClick(QPoint(250, 100));
    QCOMPARE(dlg.SelectTable(), u"xt_tc_group"_s);
    QCOMPARE(visible(), QStringList{u"GroupName"_s});
    QCOMPARE(grid->columnWidth(grid->columnByField(u"GroupName"_s)), 181);
    dlg.SpeedButton2Click(QPoint(250, 300));
    QCOMPARE(dlg.SelectTable(), u"xt_tc_due"_s);
    QCOMPARE(visible(), (QStringList{u"Frequency"_s, u"DueName"_s}));

    // A width change is stored under the list's own key.
    grid->setColumnWidth(grid->columnByField(u"Frequency"_s), 143);
    Q_EMIT grid->ChangedColumnsWidth();
    QCOMPARE(IniFile(WidthIniFile()).ReadString(u"xt_tc_duefrmPaymentEditForm"_s, u"Frequency"_s, QString()),
             u"143"_s);
    QCOMPARE(IniFile(WidthIniFile()).ReadString(u"xt_tc_groupfrmPaymentEditForm"_s, u"GroupName"_s, QString()),
             u"181"_s);
}

void TestPaymentEditor::pickerPlacement_data()
{
    QTest::addColumn<bool>("group");
    QTest::addColumn<QPoint>("mouse");

    QTest::newRow("group: centred on the mouse, top at it") << true << QPoint(280, 110);
    QTest::newRow("frequency: above the mouse") << false << QPoint(280, 300);
    QTest::newRow("group near the right and bottom edges") << true << QPoint(520, 330);
    QTest::newRow("frequency near the left and top edges") << false << QPoint(15, 60);
}

void TestPaymentEditor::pickerPlacement()
{
    QFETCH(bool, group);
    QFETCH(QPoint, mouse);

    TfrmPaymentEditForm dlg;
    dlg.show();
    QWidget *panel = picker(dlg);
    const int w = panel->width();
    const int h = panel->height();
    if (group)
        dlg.btnSelectGroupClick(mouse);
    else
        dlg.SpeedButton2Click(mouse);
    const QPoint wanted(mouse.x() - w / 2, group ? mouse.y() : mouse.y() - h - 10);
    const QPoint inside(std::clamp(wanted.x(), 0, dlg.width() - w), std::clamp(wanted.y(), 0, dlg.height() - h));
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), inside);
    QVERIFY(dlg.rect().contains(panel->geometry()));
    QCOMPARE(dlg.focusWidget(), child<QWidget>(dlg, u"edtSearch"_s));
    QCOMPARE(child<QLabel>(dlg, u"lblDblClickHint"_s)->text(), u"Double Click The Grid To Select data"_s);
}

void TestPaymentEditor::pickerChooseAndClose()
{
    TfrmPaymentEditForm dlg;
    dlg.show();
    auto *grid = child<DataGrid>(dlg, u"grdSelect"_s);

    // A real double click on the "Leisure" row.
    dlg.btnSelectGroupClick(QPoint(250, 100));
    const int leisure = rowNamed(dlg, u"GroupName"_s, u"Leisure"_s);
    QVERIFY(leisure >= 0);
    QTableView *view = grid->view();
    const QRect cell = view->visualRect(view->model()->index(leisure, grid->columnByField(u"GroupName"_s)));
    QVERIFY(cell.isValid());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(child<QLineEdit>(dlg, u"edtGroupName"_s)->text(), u"Leisure"_s);
    QCOMPARE(dlg.GroupID().toLongLong(), 6);
    QVERIFY(!picker(dlg)->isVisible());

    dlg.SpeedButton2Click(QPoint(250, 300));
    dlg.grdSelectDblClick(rowNamed(dlg, u"Frequency"_s, u"Every 2 weeks"_s));
    QCOMPARE(child<QLineEdit>(dlg, u"edtDueName"_s)->text(), u"Every 2 weeks"_s);
    QCOMPARE(dlg.FrequencyID().toString(), u"03"_s);
    // The group chosen before stays.
    QCOMPARE(child<QLineEdit>(dlg, u"edtGroupName"_s)->text(), u"Leisure"_s);

    // The close image hides the panel and chooses nothing.
    dlg.SpeedButton2Click(QPoint(250, 300));
    QVERIFY(picker(dlg)->isVisible());
    QTest::mouseClick(child<QToolButton>(dlg, u"imgClose"_s), Qt::LeftButton);
    QVERIFY(!picker(dlg)->isVisible());
    QCOMPARE(child<QLineEdit>(dlg, u"edtDueName"_s)->text(), u"Every 2 weeks"_s);
}

void TestPaymentEditor::emptyPickerChoosesNothing()
{
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.show();
    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(u"Gym"_s);
    pickGroup(dlg, u"Leisure"_s);
    typeAmount(dlg, u"30"_s);
    pickFrequency(dlg, u"Monthly"_s);

    dlg.btnSelectGroupClick(QPoint(250, 100));
    child<QLineEdit>(dlg, u"edtSearch"_s)->setText(u"no such group"_s);
    dlg.btnSearchClick();
    QVERIFY(dlg.aqSelect()->IsEmpty());
    dlg.grdSelectDblClick(-1);
    QVERIFY(!picker(dlg)->isVisible());
    QVERIFY(child<QLineEdit>(dlg, u"edtGroupName"_s)->text().isEmpty());
    QVERIFY(dlg.GroupID().isNull());

    const int before = itemCount();
    dlg.btnSaveClick();
    QCOMPARE(rec.texts(), QStringList{u"Please select a group !"_s});
    QCOMPARE(itemCount(), before);
}

void TestPaymentEditor::dragCaptionMovesPicker()
{
    TfrmPaymentEditForm dlg;
    dlg.show();
    dlg.btnSelectGroupClick(QPoint(260, 60));
    QWidget *panel = picker(dlg);
    QWidget *strip = child<QWidget>(dlg, u"pelSelectCaption"_s);
    const QPoint start = panel->pos();

    auto send = [strip](QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(local), QPointF(strip->mapToGlobal(local)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &e);
    };
    // Positions are taken as global points: the strip moves with the panel while dragging.
    const QPoint grab(40, 6);
    const QPoint grabGlobal = strip->mapToGlobal(grab);
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, strip->mapFromGlobal(grabGlobal + QPoint(-30, 25)), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(panel->pos(), start + QPoint(-30, 25));
    // Dragged far away, it stops at the dialog's edge.
    send(QEvent::MouseMove, strip->mapFromGlobal(grabGlobal + QPoint(5000, 5000)), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(panel->pos(), QPoint(dlg.width() - panel->width(), dlg.height() - panel->height()));
    send(QEvent::MouseButtonRelease, strip->mapFromGlobal(grabGlobal), Qt::LeftButton, Qt::NoButton);
    const QPoint dropped = panel->pos();
    send(QEvent::MouseMove, QPoint(1, 1), Qt::NoButton, Qt::NoButton);
    QCOMPARE(panel->pos(), dropped);
}

void TestPaymentEditor::cancelQuestion_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("yes");

    QTest::newRow("Esc, No stays") << u"esc"_s << false;
    QTest::newRow("Esc, Yes cancels") << u"esc"_s << true;
    QTest::newRow("Close button, Yes cancels") << u"button"_s << true;
    QTest::newRow("close box, No stays") << u"closebox"_s << false;
    QTest::newRow("close box, Yes cancels") << u"closebox"_s << true;
}

void TestPaymentEditor::cancelQuestion()
{
    QFETCH(QString, how);
    QFETCH(bool, yes);

    const int before = itemCount();
    MessageRecorder rec;
    if (yes)
        rec.answer(QMessageBox::Yes);
    TfrmPaymentEditForm dlg;
    dlg.show();
    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(u"Half done"_s);
    pickGroup(dlg, u"Car"_s);
    typeAmount(dlg, u"10"_s);
    pickFrequency(dlg, u"Weekly"_s);

    if (how == u"esc"_s)
        QTest::keyClick(child<QLineEdit>(dlg, u"edtDescription"_s), Qt::Key_Escape);
    else if (how == u"button"_s)
        QTest::mouseClick(child<QPushButton>(dlg, u"btnClose"_s), Qt::LeftButton);
    else
        dlg.close();

    QCOMPARE(rec.count(), 1);
    const MessageRequest &m = rec.messages().first();
    QCOMPARE(m.text, u"Do you wish to cancel the operation?"_s);
    QCOMPARE(m.caption, u"Message"_s);
    QCOMPARE(m.icon, QMessageBox::Information);
    QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m.defaultButton, QMessageBox::No);
    QCOMPARE(dlg.isVisible(), !yes);
    if (yes) {
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.aqPayment()->state(), Query::State::Browse);
    } else {
        QCOMPARE(dlg.aqPayment()->state(), Query::State::Insert);
    }
    QCOMPARE(itemCount(), before);
}

void TestPaymentEditor::ctrlSSaves()
{
    const int before = itemCount();
    MessageRecorder rec;
    TfrmPaymentEditForm dlg;
    dlg.show();
    child<QLineEdit>(dlg, u"edtDescription"_s)->setText(u"Books"_s);
    pickGroup(dlg, u"Leisure"_s);
    typeAmount(dlg, u"19.9"_s);
    pickFrequency(dlg, u"Once"_s);
    QTest::keyClick(child<QLineEdit>(dlg, u"edtAmount"_s), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(rec.count(), 0);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(itemCount(), before + 1);
    QVERIFY(rawRow(lastIncId()).contains(u"'Books'|19.9|'1'|"_s));
}

QTEST_MAIN(TestPaymentEditor)
#include "tst_paymenteditor.moc"
