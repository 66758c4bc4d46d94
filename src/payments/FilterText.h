#pragma once

#include <QList>
#include <QString>

// Filter clauses of the income and expense dialogs, kept apart from the windows.
// Every clause begins with " and "; text values go through Quote().

// Item query: typeIndex is the type list's entry (0 "All", 1 "Income",
// 2 "Expense", -1 none); frequencyIndex is the chosen entry of the frequency
// list (0 "All", -1 when the text was typed) and frequencyText what it shows.
QString ItemQueryWhereText(const QString &description, int typeIndex, int frequencyIndex,
                           const QString &frequencyText);

// The frequency id in an entry of the frequency list: the text before its first
// ':'. Without a colon the id is empty.
QString FrequencyIdOfEntry(const QString &entry);

// Group search: a name pattern, or nothing for an empty name.
QString GroupQueryWhereText(const QString &groupName);

// One node of the group filter tree.
struct GroupChoice
{
    bool selected = false;
    QString id;
    QString name;
};

// The ticked groups as comma-separated ids and names, in node order; both empty
// when nothing is ticked.
struct GroupLists
{
    QString ids;
    QString names;
};
GroupLists SelectedGroupLists(const QList<GroupChoice> &choices);
