#include "DisplayFormat.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_DisplayFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void money_data();
    void money();
    void fromDouble_data();
    void fromDouble();
};

void tst_DisplayFormat::money_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    const QString grid = u"#,###.##"_s;
    QTest::newRow("grid zero is empty") << grid << u"0"_s << QString();
    QTest::newRow("grid one decimal") << grid << u"1234.5"_s << u"1,234.5"_s;
    QTest::newRow("grid below one") << grid << u"0.5"_s << u".5"_s;
    QTest::newRow("grid negative") << grid << u"-1234.56"_s << u"-1,234.56"_s;
    QTest::newRow("grid whole") << grid << u"1000"_s << u"1,000"_s;
    QTest::newRow("grid below a thousand") << grid << u"999"_s << u"999"_s;
    QTest::newRow("grid millions") << grid << u"1234567.891"_s << u"1,234,567.89"_s;
    QTest::newRow("grid half rounds up") << grid << u"0.005"_s << u".01"_s;
    QTest::newRow("grid negative half rounds away") << grid << u"-0.005"_s << u"-.01"_s;
    QTest::newRow("grid below half is empty") << grid << u"0.0049"_s << QString();
    QTest::newRow("grid tiny negative has no sign") << grid << u"-0.0049"_s << QString();
    QTest::newRow("grid rounding carries") << grid << u"999.995"_s << u"1,000"_s;
    QTest::newRow("grid trailing zero dropped") << grid << u"12.10"_s << u"12.1"_s;

    const QString box = u"#,###.00"_s;
    QTest::newRow("box zero") << box << u"0"_s << u".00"_s;
    QTest::newRow("box pads decimals") << box << u"1234.5"_s << u"1,234.50"_s;
    QTest::newRow("box negative below one") << box << u"-0.5"_s << u"-.50"_s;
    QTest::newRow("box million") << box << u"1000000"_s << u"1,000,000.00"_s;
    QTest::newRow("box half rounds up") << box << u"2.345"_s << u"2.35"_s;

    const QString editor = u"#.##"_s;
    QTest::newRow("editor zero is empty") << editor << u"0"_s << QString();
    QTest::newRow("editor no separators") << editor << u"1234.5"_s << u"1234.5"_s;
    QTest::newRow("editor rounds") << editor << u"12.345"_s << u"12.35"_s;
    QTest::newRow("editor just below half") << editor << u"12.3449"_s << u"12.34"_s;
    QTest::newRow("editor whole") << editor << u"500"_s << u"500"_s;

    QTest::newRow("zeros keep places") << u"0.00"_s << u"0"_s << u"0.00"_s;
    QTest::newRow("zeros negative") << u"0.00"_s << u"-1.005"_s << u"-1.01"_s;
    QTest::newRow("leading zeros") << u"000"_s << u"7"_s << u"007"_s;
    QTest::newRow("more digits than places") << u"000"_s << u"1234"_s << u"1234"_s;
    QTest::newRow("no point rounds to whole") << u"#,##0"_s << u"2.5"_s << u"3"_s;
    QTest::newRow("separator with zero") << u"#,##0"_s << u"0"_s << u"0"_s;
    QTest::newRow("optional places after required") << u"0.0###"_s << u"1.5"_s << u"1.5"_s;
    QTest::newRow("all four places") << u"0.0###"_s << u"1.2346"_s << u"1.2346"_s;
    QTest::newRow("more places than stored") << u"0.000000"_s << u"1.5"_s << u"1.500000"_s;
    QTest::newRow("literal prefix") << u"$#,##0.00"_s << u"1234.5"_s << u"$1,234.50"_s;
    QTest::newRow("quoted literal") << u"\"Total: \"0"_s << u"42"_s << u"Total: 42"_s;
    QTest::newRow("quoted separators are literal") << u"0'.,'"_s << u"3"_s << u"3.,"_s;
    QTest::newRow("sections positive") << u"#,##0.00;(#,##0.00);nil"_s << u"5"_s << u"5.00"_s;
    QTest::newRow("sections negative has no minus") << u"#,##0.00;(#,##0.00);nil"_s << u"-1234"_s << u"(1,234.00)"_s;
    QTest::newRow("sections zero") << u"#,##0.00;(#,##0.00);nil"_s << u"0"_s << u"nil"_s;
    QTest::newRow("empty negative section uses first") << u"0.0;;z"_s << u"-2"_s << u"-2.0"_s;
    QTest::newRow("empty pattern gives plain number") << QString() << u"-12.25"_s << u"-12.25"_s;
}

void tst_DisplayFormat::money()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    bool ok = false;
    const Money m = Money::fromString(value, &ok);
    QVERIFY(ok);
    QCOMPARE(FormatFloat(pattern, m), expected);
}

void tst_DisplayFormat::fromDouble_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // 1.005 and 2.675 lie just below the half in binary; fifteen digits put them on it.
    QTest::newRow("binary half below") << u"0.00"_s << 1.005 << u"1.01"_s;
    QTest::newRow("binary half below 2") << u"#,###.##"_s << 2.675 << u"2.68"_s;
    QTest::newRow("large") << u"#,###.00"_s << 123456789.5 << u"123,456,789.50"_s;
    QTest::newRow("small") << u"0.####"_s << 0.00001 << u"0"_s;
    QTest::newRow("zero") << u"#,###.##"_s << 0.0 << QString();
    QTest::newRow("negative") << u"#,###.##"_s << -1234.56 << u"-1,234.56"_s;
}

void tst_DisplayFormat::fromDouble()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFloat(pattern, value), expected);
}

QTEST_GUILESS_MAIN(tst_DisplayFormat)
#include "tst_displayformat.moc"
