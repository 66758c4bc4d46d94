#include "Money.h"
#include "XlsWriter.h"

#include <QDate>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

using Rows = QList<QVector<QVariant>>;

// Files are read back by xlrd, an independent reader, through read_xls.py.
class TestXlsWriter : public QObject
{
    Q_OBJECT

private:
    QString m_python;
    QString m_script;

    bool readBack(const QString &file, bool summary, QJsonObject *out);
    static QString describe(const QVariant &v) { return v.isValid() ? v.toString() + u" ("_s + QString::fromLatin1(v.typeName()) + u')' : u"null"_s; }
    static bool sameCell(const QVariant &written, const QJsonValue &read, bool header);
    static QStringList listing(const QString &dir);

private Q_SLOTS:
    void initTestCase();
    void roundTrip();
    void emptyList();
    void splitsRowsAcrossSheets_data();
    void splitsRowsAcrossSheets();
    void sheetNames_data();
    void sheetNames();
    void failureLeavesNothingBehind_data();
    void failureLeavesNothingBehind();
};

void TestXlsWriter::initTestCase()
{
    m_script = QFINDTESTDATA("read_xls.py");
    QVERIFY2(!m_script.isEmpty(), "read_xls.py not found beside the test source");
    // Debian's python3-xlrd belongs to the system interpreter, which another
    // python3 earlier on PATH may hide.
    for (const QString &candidate : {u"/usr/bin/python3"_s, QStandardPaths::findExecutable(u"python3"_s)}) {
        if (candidate.isEmpty() || !QFile::exists(candidate))
            continue;
        QProcess probe;
        probe.start(candidate, {u"-c"_s, u"import xlrd"_s});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0) {
            m_python = candidate;
            break;
        }
    }
}

bool TestXlsWriter::readBack(const QString &file, bool summary, QJsonObject *out)
{
    QProcess p;
    QStringList args{m_script, file};
    if (summary)
        args << u"--summary"_s;
    p.start(m_python, args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << "read_xls.py failed:" << QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    QJsonParseError error;
    *out = QJsonDocument::fromJson(p.readAllStandardOutput(), &error).object();
    if (error.error != QJsonParseError::NoError) {
        qWarning() << "read_xls.py printed no JSON:" << error.errorString();
        return false;
    }
    const QJsonArray problems = out->value(u"problems"_s).toArray();
    for (const QJsonValue &problem : problems)
        qWarning().noquote() << "structure:" << problem.toString();
    return problems.isEmpty();
}

bool TestXlsWriter::sameCell(const QVariant &written, const QJsonValue &read, bool header)
{
    if (!written.isValid() || written.isNull() || (written.typeId() == QMetaType::QString && written.toString().isEmpty()))
        return read.isNull();
    const QJsonObject cell = read.toObject();
    if (cell.value(u"bold"_s).toBool() != header)
        return false;
    const QString kind = cell.value(u"t"_s).toString();
    const QJsonValue value = cell.value(u"v"_s);
    if (written.typeId() == qMetaTypeId<Money>())
        return kind == u"number"_s && Money::fromDouble(value.toDouble()) == written.value<Money>();
    switch (written.typeId()) {
    case QMetaType::QString:
        return kind == u"text"_s && value.toString() == written.toString();
    case QMetaType::Bool:
        return kind == u"bool"_s && value.toBool() == written.toBool();
    case QMetaType::QDate: {
        // xlrd will not convert serials before March 1900 (Excel counts a 29 February 1900);
        // Excel shows serial 1 as 1 January 1900.
        const QDate date = written.toDate();
        if (date < QDate(1900, 3, 1))
            return kind == u"date"_s && cell.value(u"serial"_s).toDouble() == QDate(1900, 1, 1).daysTo(date) + 1;
        return kind == u"date"_s && value.toString() == date.toString(Qt::ISODate);
    }
    case QMetaType::QDateTime:
        return kind == u"date"_s && value.toString() == written.toDateTime().toString(u"yyyy-MM-ddTHH:mm:ss"_s);
    case QMetaType::Double:
        if (!std::isfinite(written.toDouble()))
            return kind == u"error"_s && value.toString() == u"#NUM!"_s;
        return kind == u"number"_s && value.toDouble() == written.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return kind == u"number"_s && value.toDouble() == written.toDouble();
    default: // any other type is kept as its text
        return kind == u"text"_s && value.toString() == written.toString();
    }
}

QStringList TestXlsWriter::listing(const QString &dir)
{
    QStringList names;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next();
    names.sort();
    return names;
}

void TestXlsWriter::roundTrip()
{
    if (m_python.isEmpty())
        QSKIP("python3 with the xlrd module is needed to read the file back (Debian package python3-xlrd)");

    const QStringList captions{u"Date"_s, u"Description"_s, u"Income"_s, u"Expense"_s, u"Count"_s,
                               u"Flag"_s, u"房租"_s, QString()};
    const QString longText = QString(300, u'x') + u"-end"_s;
    const QString longWide = u"房租"_s.repeated(150) + u"-end"_s;
    const QVariant noValue;
    const QVariant dbNull(QMetaType::fromType<double>()); // what a NULL column gives
    auto m = [](const char *text) { return QVariant::fromValue(Money::fromString(QString::fromLatin1(text))); };

    Rows rows{
        {QDate(2024, 3, 15), u"房租"_s, m("1234.5678"), m("-42.1"), 42, true, u"Ünïcödé ok"_s, QTime(8, 30)},
        {QDate(2099, 12, 31), longText, m("-0.0001"), m("0"), -7, false, longWide},
        {QDateTime(QDate(2024, 3, 15), QTime(13, 45, 30)), noValue, m("123456789012.3456"), dbNull,
         536870911, QString(), 0.5},
        {QDate(1900, 3, 1), u"count"_s, m("99.99"), m("-1234567.89"), 536870912, -536870912, 1.0 / 3},
        {QDate(1900, 1, 1), u"count"_s, 12.34, -0.05, qlonglong(1) << 40, -1e300,
         std::numeric_limits<double>::quiet_NaN()},
        {QDate(1900, 2, 28), u"Ignore"_s},
        {},
    };
    // Long distinct strings, Latin-1 and Chinese, spill the shared string table
    // over several CONTINUE records, splitting strings at the record boundaries.
    for (int i = 0; i < 60; ++i) {
        const QString text = (i % 2 ? u"收支明细"_s.repeated(60) : QString(230, QChar(u'a' + i % 26)))
            + QString::number(i);
        rows.append({QDate(2024, 1, 1).addDays(i), text, QVariant::fromValue(Money::fromUnits(i * 12345 - 99999))});
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(u"march.xls"_s);
    QString error = u"stale"_s;
    QVERIFY(XlsWriter::Write(file, u"Due 收支"_s, captions, rows, &error));
    QVERIFY(error.isEmpty());

    QJsonObject book;
    QVERIFY(readBack(file, false, &book));
    QVERIFY2(book.value(u"sst_continues"_s).toInt() >= 2, "the test strings should fill several CONTINUE records");
    const QJsonArray sheets = book.value(u"sheets"_s).toArray();
    QCOMPARE(sheets.size(), 1);
    const QJsonObject sheet = sheets.at(0).toObject();
    QCOMPARE(sheet.value(u"name"_s).toString(), u"Due 收支"_s);
    QCOMPARE(sheet.value(u"nrows"_s).toInt(), rows.size() + 1);
    QCOMPARE(sheet.value(u"ncols"_s).toInt(), captions.size());

    const QJsonArray read = sheet.value(u"rows"_s).toArray();
    for (int c = 0; c < captions.size(); ++c)
        QVERIFY2(sameCell(captions.at(c), read.at(0).toArray().at(c), true), qPrintable(u"caption %1"_s.arg(c)));
    for (int r = 0; r < rows.size(); ++r) {
        const QJsonArray cells = read.at(r + 1).toArray();
        for (int c = 0; c < captions.size(); ++c) {
            const QVariant written = c < rows.at(r).size() ? rows.at(r).at(c) : QVariant();
            QVERIFY2(sameCell(written, cells.at(c), false),
                     qPrintable(u"row %1 column %2: wrote %3, read %4"_s.arg(r).arg(c).arg(
                         describe(written), QString::fromUtf8(QJsonDocument(QJsonArray{cells.at(c)}).toJson(QJsonDocument::Compact)))));
        }
    }
}

// The export of an empty due list: a small workbook with the header alone.
void TestXlsWriter::emptyList()
{
    if (m_python.isEmpty())
        QSKIP("python3 with the xlrd module is needed to read the file back (Debian package python3-xlrd)");
    QTemporaryDir dir;
    const QString file = dir.filePath(u"empty.xls"_s);
    QString error;
    QVERIFY2(XlsWriter::Write(file, u"Due"_s, {u"Date"_s, u"Description"_s}, Rows(), &error), qPrintable(error));
    QJsonObject book;
    QVERIFY(readBack(file, false, &book));
    const QJsonArray sheets = book.value(u"sheets"_s).toArray();
    QCOMPARE(sheets.size(), 1);
    const QJsonArray rows = sheets.at(0).toObject().value(u"rows"_s).toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).toArray().at(1).toObject().value(u"v"_s).toString(), u"Description"_s);
}

void TestXlsWriter::splitsRowsAcrossSheets_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("fractionColumns");
    QTest::addColumn<QList<int>>("sheetRows");
    QTest::addColumn<bool>("needsDifat");

    QTest::newRow("fills one sheet") << 65535 << 0 << QList<int>{65536} << false;
    QTest::newRow("one row over") << 65536 << 0 << QList<int>{65536, 2} << false;
    // Enough 8-byte numbers for more than 109 FAT sectors.
    QTest::newRow("three sheets, large file") << 140000 << 3 << QList<int>{65536, 65536, 8931} << true;
}

void TestXlsWriter::splitsRowsAcrossSheets()
{
    QFETCH(int, rowCount);
    QFETCH(int, fractionColumns);
    QFETCH(QList<int>, sheetRows);
    QFETCH(bool, needsDifat);
    if (m_python.isEmpty())
        QSKIP("python3 with the xlrd module is needed to read the file back (Debian package python3-xlrd)");

    QStringList captions{u"No"_s};
    for (int c = 1; c <= fractionColumns; ++c)
        captions << u"Part %1"_s.arg(c);
    auto cell = [](int row, int col) { return col == 0 ? double(row) : row + col / 3.0; };
    Rows rows;
    rows.reserve(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        QVector<QVariant> row;
        for (int c = 0; c < captions.size(); ++c)
            row << (c == 0 ? QVariant(r) : QVariant(cell(r, c)));
        rows << row;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(u"big.xls"_s);
    QString error;
    QVERIFY2(XlsWriter::Write(file, u"Due"_s, captions, rows, &error), qPrintable(error));

    QJsonObject book;
    QVERIFY(readBack(file, true, &book));
    QCOMPARE(book.value(u"difat_sectors"_s).toInt() > 0, needsDifat);
    const QJsonArray sheets = book.value(u"sheets"_s).toArray();
    QCOMPARE(sheets.size(), sheetRows.size());
    int first = 0;
    for (int s = 0; s < sheets.size(); ++s) {
        const QJsonObject sheet = sheets.at(s).toObject();
        QCOMPARE(sheet.value(u"name"_s).toString(), s == 0 ? u"Due"_s : u"Due (%1)"_s.arg(s + 1));
        QCOMPARE(sheet.value(u"nrows"_s).toInt(), sheetRows.at(s));
        const QJsonArray header = sheet.value(u"header"_s).toArray();
        QCOMPARE(header.size(), captions.size());
        for (int c = 0; c < captions.size(); ++c)
            QCOMPARE(header.at(c).toObject().value(u"v"_s).toString(), captions.at(c));

        const int last = first + sheetRows.at(s) - 2;
        const QJsonArray firstRow = sheet.value(u"first"_s).toArray();
        const QJsonArray lastRow = sheet.value(u"last"_s).toArray();
        for (int c = 0; c < captions.size(); ++c) {
            QCOMPARE(firstRow.at(c).toObject().value(u"v"_s).toDouble(), cell(first, c));
            QCOMPARE(lastRow.at(c).toObject().value(u"v"_s).toDouble(), cell(last, c));
        }
        // Every row in between is there once: the row numbers add up.
        QCOMPARE(sheet.value(u"sum0"_s).toDouble(), (double(first) + last) * (last - first + 1) / 2);
        first = last + 1;
    }
    QCOMPARE(first, rowCount);
}

void TestXlsWriter::sheetNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qlonglong>("rowCount");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no rows") << u"Due"_s << 0LL << QStringList{u"Due"_s};
    QTest::newRow("two full sheets") << u"Due"_s << 131070LL << QStringList{u"Due"_s, u"Due (2)"_s};
    QTest::newRow("one row more") << u"Due"_s << 131071LL << QStringList{u"Due"_s, u"Due (2)"_s, u"Due (3)"_s};
    QTest::newRow("characters Excel forbids") << u"a/b:c[1]*?\\"_s << 1LL << QStringList{u"a_b_c_1____"_s};
    QTest::newRow("apostrophes at the ends") << u"'Due'"_s << 1LL << QStringList{u"Due"_s};
    QTest::newRow("empty") << QString() << 1LL << QStringList{u"Sheet"_s};
    QTest::newRow("long name leaves room for the number")
        << QString(40, u'x') << 70000LL << QStringList{QString(31, u'x'), QString(27, u'x') + u" (2)"_s};
}

void TestXlsWriter::sheetNames()
{
    QFETCH(QString, name);
    QFETCH(qlonglong, rowCount);
    QFETCH(QStringList, expected);
    QCOMPARE(XlsWriter::SheetNames(name, rowCount), expected);
}

void TestXlsWriter::failureLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("columns");

    QTest::newRow("folder does not exist") << u"no/such/folder/x.xls"_s << 3;
    QTest::newRow("parent is a file") << u"plain.txt/x.xls"_s << 3;
    QTest::newRow("target is a folder") << u"folder.xls"_s << 3;
    QTest::newRow("more columns than a sheet has") << u"existing.xls"_s << XlsWriter::MaxColumns + 1;
}

void TestXlsWriter::failureLeavesNothingBehind()
{
    QFETCH(QString, target);
    QFETCH(int, columns);

    QTemporaryDir dir;
    auto makeFile = [&](const QString &name) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    };
    makeFile(u"plain.txt"_s);
    makeFile(u"existing.xls"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"folder.xls"_s));
    const QStringList before = listing(dir.path());

    QStringList captions;
    QVector<QVariant> row;
    for (int c = 0; c < columns; ++c) {
        captions << u"C%1"_s.arg(c);
        row << QVariant::fromValue(Money::fromUnits(c));
    }
    QString error;
    QVERIFY(!XlsWriter::Write(dir.filePath(target), u"Due"_s, captions, Rows{row}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(listing(dir.path()), before);
    QFile existing(dir.filePath(u"existing.xls"_s));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("old contents"));
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "tst_xlswriter.moc"
