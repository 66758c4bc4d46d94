#include "FilterText.h"

#include "SqlText.h"

using namespace Qt::Literals::StringLiterals;

QString FrequencyIdOfEntry(const QString &entry)
{
    const qsizetype colon = entry.indexOf(u':');
    return colon < 0 ? QString() : entry.left(colon);
}

QString ItemQueryWhereText(const QString &description, int typeIndex, int frequencyIndex,
                           const QString &frequencyText)
{
    QString where;
    if (!description.isEmpty())
        where += u" and Description like "_s + QuoteLike(description);
    if (typeIndex == 1)
        where += u" and Type ="_s + Quote(u"1"_s);
    else if (typeIndex == 2)
        where += u" and Type ="_s + Quote(u"0"_s);
    if (frequencyIndex != 0)
        where += u" and FrequencyID="_s + Quote(FrequencyIdOfEntry(frequencyText));
    return where;
}

QString GroupQueryWhereText(const QString &groupName)
{
    if (groupName.isEmpty())
        return QString();
    return u" and groupName like "_s + QuoteLike(groupName);
}

GroupLists SelectedGroupLists(const QList<GroupChoice> &choices)
{
    GroupLists lists;
    for (const GroupChoice &c : choices) {
        if (!c.selected)
            continue;
        lists.ids += u',' + c.id;
        lists.names += u',' + c.name;
    }
    lists.ids.remove(0, 1);
    lists.names.remove(0, 1);
    return lists;
}
