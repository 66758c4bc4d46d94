#include "DisplayFormat.h"

#include <QByteArray>
#include <QStringList>

#include <cmath>

namespace {

// A non-negative decimal number: the digits, of which the first `point` lie
// left of the decimal point (point may be negative or beyond the digits).
struct Decimal
{
    QByteArray digits;
    int point = 0;
};

struct Rounded
{
    QByteArray intDigits; // no leading zeros; empty for a zero integer part
    QByteArray fracDigits; // exactly as many as the pattern asks for

    bool isZero() const
    {
        if (!intDigits.isEmpty())
            return false;
        for (char c : fracDigits)
            if (c != '0')
                return false;
        return true;
    }
};

struct Layout
{
    int intPlaceholders = 0;
    int fracPlaceholders = 0;
    int firstIntZero = -1; // placeholder index of the first '0' left of the point
    int lastFracZero = -1; // placeholder index of the last '0' right of the point
    bool thousands = false;
    bool hasPoint = false;
};

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

QStringList splitSections(const QString &pattern)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

Layout scan(const QString &section)
{
    Layout l;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (l.hasPoint) {
                if (c == QLatin1Char('0'))
                    l.lastFracZero = l.fracPlaceholders;
                ++l.fracPlaceholders;
            } else {
                if (c == QLatin1Char('0') && l.firstIntZero < 0)
                    l.firstIntZero = l.intPlaceholders;
                ++l.intPlaceholders;
            }
        } else if (c == QLatin1Char('.')) {
            l.hasPoint = true;
        } else if (c == QLatin1Char(',')) {
            l.thousands = true;
        }
    }
    return l;
}

// Rounds half away from zero on the decimal digits, so 0.125 becomes 0.13
// with two places however the value was stored.
Rounded roundTo(const Decimal &d, int decimals)
{
    QByteArray s = d.digits;
    int point = d.point;
    if (point < 0) {
        s.prepend(QByteArray(-point, '0'));
        point = 0;
    }
    if (point > s.size())
        s.append(QByteArray(point - s.size(), '0'));
    const int keep = point + decimals;
    if (s.size() > keep) {
        const bool up = s.at(keep) >= '5';
        s.truncate(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && s.at(i) == '9')
                s[i--] = '0';
            if (i < 0) {
                s.prepend('1');
                ++point;
            } else {
                s[i] = char(s.at(i) + 1);
            }
        }
    } else {
        s.append(QByteArray(keep - s.size(), '0'));
    }
    Rounded r;
    r.intDigits = s.left(point);
    qsizetype lead = 0;
    while (lead < r.intDigits.size() && r.intDigits.at(lead) == '0')
        ++lead;
    r.intDigits.remove(0, lead);
    r.fracDigits = s.mid(point);
    return r;
}

QString formatSection(const QString &section, const Layout &l, const Rounded &r, bool minus)
{
    QByteArray intDigits = r.intDigits;
    const int minInt = l.firstIntZero >= 0 ? l.intPlaceholders - l.firstIntZero : 0;
    if (intDigits.size() < minInt)
        intDigits.prepend(QByteArray(minInt - intDigits.size(), '0'));
    int shownFrac = l.lastFracZero + 1;
    for (int i = int(r.fracDigits.size()) - 1; i >= shownFrac; --i) {
        if (r.fracDigits.at(i) != '0') {
            shownFrac = i + 1;
            break;
        }
    }

    QString out;
    out.reserve(section.size() + intDigits.size() + intDigits.size() / 3 + 2);
    if (minus)
        out += QLatin1Char('-');
    const int n = int(intDigits.size());
    auto emitInt = [&](int k) {
        if (l.thousands && k > 0 && (n - k) % 3 == 0)
            out += QLatin1Char(',');
        out += QLatin1Char(intDigits.at(k));
    };

    int intIndex = 0;
    int fracIndex = 0;
    bool afterPoint = false;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterPoint) {
                if (fracIndex < shownFrac)
                    out += QLatin1Char(r.fracDigits.at(fracIndex));
                ++fracIndex;
            } else {
                // The first placeholder also takes the digits the pattern has no room for.
                const int j = n - l.intPlaceholders + intIndex;
                if (intIndex == 0) {
                    for (int k = 0; k <= j; ++k)
                        emitInt(k);
                } else if (j >= 0) {
                    emitInt(j);
                }
                ++intIndex;
            }
        } else if (c == QLatin1Char('.')) {
            if (!afterPoint) {
                afterPoint = true;
                if (l.intPlaceholders == 0)
                    for (int k = 0; k < n; ++k)
                        emitInt(k);
                if (shownFrac > 0)
                    out += QLatin1Char('.');
            }
        } else if (c != QLatin1Char(',')) {
            out += c;
        }
    }
    return out;
}

QString formatDecimal(const QString &pattern, const Decimal &d, bool negative, bool zero)
{
    const QStringList sections = splitSections(pattern);
    int index = 0;
    if (zero && sections.size() >= 3 && !sections.at(2).isEmpty())
        index = 2;
    else if (negative && !zero && sections.size() >= 2 && !sections.at(1).isEmpty())
        index = 1;
    const QString &section = sections.at(index);
    const Layout l = scan(section);
    const Rounded r = roundTo(d, l.fracPlaceholders);
    // A value that rounds to zero shows no sign.
    const bool minus = negative && index == 0 && !r.isZero();
    return formatSection(section, l, r, minus);
}

} // namespace

QString FormatFloat(const QString &pattern, Money value)
{
    if (splitSections(pattern).constFirst().isEmpty())
        return value.toString();
    const qint64 units = value.units();
    const quint64 magnitude = units < 0 ? 0 - quint64(units) : quint64(units);
    Decimal d;
    d.digits = QByteArray::number(magnitude);
    d.point = int(d.digits.size()) - 4;
    return formatDecimal(pattern, d, units < 0, units == 0);
}

QString FormatFloat(const QString &pattern, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (splitSections(pattern).constFirst().isEmpty())
        return QString::number(value, 'g', 15);
    Decimal d;
    if (value == 0) {
        d.digits = "0";
        d.point = 1;
    } else {
        // "d.dddddddddddddde+XX": fifteen significant digits and the exponent.
        const QByteArray e = QByteArray::number(std::fabs(value), 'e', 14);
        const qsizetype ePos = e.indexOf('e');
        d.digits = e.left(1) + e.mid(2, ePos - 2);
        d.point = e.mid(ePos + 1).toInt() + 1;
    }
    return formatDecimal(pattern, d, value < 0, value == 0);
}
