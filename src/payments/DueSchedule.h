#pragma once

#include "Money.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

class Connection;

// The fields of one xt_td_Payment row that the due expansion uses.
struct PaymentItem
{
    qint64 IncID = 0;
    QString Description;
    Money Amount;
    QString Type; // "1" income, "0" expense
    QDate DateBegin;
    QDate DateEnd;
    QString HasEnd; // "1" ends on DateEnd, "0" open-ended
    QString FrequencyID;
};

// Offset, DaysType and LoopTime of one xt_tc_Due row.
struct FrequencyRule
{
    int Offset = 0;
    QString DaysType; // "W" weeks, "M" months
    QString LoopTime; // "1" once
};

// One computed row of the due list.
struct DueRow
{
    QDate Date;
    QString Description;
    Money Charge;
    Money Payment;
    Money Balance;
    QString PK;
    QString Status;
    QString PaymentIncID;
};
Q_DECLARE_TYPEINFO(DueRow, Q_RELOCATABLE_TYPE);

// The date n months on, its day clamped to the length of the target month
// (31 January + 1 = 28 or 29 February). Invalid when out of range.
QDate AddMonths(QDate date, int n);

// The period moved by n months: a whole calendar month gives the whole target
// month, any other period moves both ends by AddMonths.
std::pair<QDate, QDate> ShiftPeriodDates(QDate begin, QDate end, int n);

// A new GUID in registry form: braced, upper case, 38 characters.
QString NewGuidText();

// What every row of one item shares: description (cut to 200 characters),
// Charge and Payment split from Amount by Type, Status "count" and the IncID text.
DueRow DueRowTemplate(const PaymentItem &item);

// Appends the item's rows for the period [periodBegin, periodEnd]. rule is null
// when the item's frequency row is missing, which yields no rows; so does a
// repeating rule with an Offset below 1 or a DaysType other than "W" and "M".
void ExpandItem(const PaymentItem &item, const FrequencyRule *rule, QDate periodBegin, QDate periodEnd,
                QList<DueRow> &rows);
// Occurrences every offset weeks from dateBegin, from the first on or after
// periodBegin up to effectiveEnd.
void ExpandWeekly(const DueRow &tmpl, QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd,
                  QList<DueRow> &rows);
// Occurrence k falls on AddMonths(dateBegin, k * offset), so every occurrence
// keeps the day of dateBegin where the month has it.
void ExpandMonthly(const DueRow &tmpl, QDate dateBegin, int offset, QDate periodBegin, QDate effectiveEnd,
                   QList<DueRow> &rows);
// Appends one row dated date with the template's values, a new PK and Balance 0.
void AppendDueRow(QList<DueRow> &rows, QDate date, const DueRow &tmpl);

// The due list of a period: rows in date order with a running balance and totals.
// Ignore marks live only until the next rebuild.
class DueList
{
public:
    QDate PeriodBegin;
    QDate PeriodEnd;
    // Empty or " and GroupID in (...)", appended to the item statement.
    QString GroupFilter;

    // Reads the items (with GroupFilter) and their frequencies and rebuilds the
    // list. A failing statement throws DbError and leaves the list as it was.
    void RefreshDueList(Connection *adc);
    // Rebuilds the list from items already read; ruleOf gives an item's
    // frequency or null when it has none.
    void Build(const QList<PaymentItem> &items,
               const std::function<const FrequencyRule *(const PaymentItem &)> &ruleOf);
    void ComputeRunningBalance();
    void ComputeTotals();
    // Flips the row between "count" and "Ignore" and moves EndingBalance only.
    void ToggleIgnore(int row);

    // The calendar month of today, then a refresh.
    void SetThisMonth(Connection *adc, QDate today);
    void SetThisMonth(Connection *adc);
    // Moves the period by n months, then refreshes. A whole calendar month
    // stays a whole month; any other period moves both ends by AddMonths.
    void ShiftPeriod(int n, Connection *adc);

    const QList<DueRow> &rows() const { return m_rows; }
    int RecordCount() const { return int(m_rows.size()); }
    Money Income() const { return m_income; }
    Money Expense() const { return m_expense; }
    Money EndingBalance() const { return m_endingBalance; }

private:
    QList<DueRow> m_rows;
    Money m_income;
    Money m_expense;
    Money m_endingBalance;
};
