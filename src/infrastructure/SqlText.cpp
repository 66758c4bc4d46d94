#include "SqlText.h"

QString Quote(const QString &text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString QuoteLike(const QString &text)
{
    return Quote(QLatin1Char('%') + text + QLatin1Char('%'));
}
