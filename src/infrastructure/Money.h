#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// A money amount in fixed point with four decimals, like a currency field.
// Amounts are summed in this type, never in double.
class Money
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { Money m; m.m_units = units; return m; }
    static Money fromDouble(double value);
    // Accepts "1234", "-12.5", "1,234.5678"; more than four decimals round half away from zero.
    static Money fromString(const QString &text, bool *ok = nullptr);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / Scale; }
    // Plain text with the decimals that are needed: "1234.5", "-0.25", "0".
    QString toString() const;

    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }

    constexpr Money operator+(Money o) const { return fromUnits(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return fromUnits(m_units - o.m_units); }
    constexpr Money operator-() const { return fromUnits(-m_units); }
    Money &operator+=(Money o) { m_units += o.m_units; return *this; }
    Money &operator-=(Money o) { m_units -= o.m_units; return *this; }
    constexpr auto operator<=>(const Money &) const = default;

private:
    qint64 m_units = 0;
};

Q_DECLARE_METATYPE(Money)
