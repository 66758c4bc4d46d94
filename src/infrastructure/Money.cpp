#include "Money.h"

#include <cmath>

Money Money::fromDouble(double value)
{
    return fromUnits(qint64(std::llround(value * Scale)));
}

Money Money::fromString(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? t : t.left(dot);
    QString frac = dot < 0 ? QString() : t.mid(dot + 1);
    auto digitsOnly = [](const QString &s) {
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    };
    if ((whole.isEmpty() && frac.isEmpty()) || !digitsOnly(whole) || !digitsOnly(frac) || whole.size() > 14) {
        if (ok)
            *ok = false;
        return {};
    }
    qint64 units = whole.isEmpty() ? 0 : whole.toLongLong() * Scale;
    bool roundUp = false;
    if (frac.size() > 4) {
        roundUp = frac.at(4) >= QLatin1Char('5');
        frac.truncate(4);
    }
    while (frac.size() < 4)
        frac += QLatin1Char('0');
    units += frac.toLongLong() + (roundUp ? 1 : 0);
    if (ok)
        *ok = true;
    return fromUnits(negative ? -units : units);
}

QString Money::toString() const
{
    const qint64 a = m_units < 0 ? -m_units : m_units;
    QString s = QString::number(a / Scale);
    qint64 frac = a % Scale;
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return m_units < 0 ? QLatin1Char('-') + s : s;
}
