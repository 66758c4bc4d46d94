#include "XlsWriter.h"

#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

// BIFF8 record types.
constexpr quint16 RecBof = 0x0809;
constexpr quint16 RecEof = 0x000A;
constexpr quint16 RecCodepage = 0x0042;
constexpr quint16 RecWindow1 = 0x003D;
constexpr quint16 RecDateMode = 0x0022;
constexpr quint16 RecFont = 0x0031;
constexpr quint16 RecFormat = 0x041E;
constexpr quint16 RecXf = 0x00E0;
constexpr quint16 RecStyle = 0x0293;
constexpr quint16 RecBoundSheet = 0x0085;
constexpr quint16 RecSst = 0x00FC;
constexpr quint16 RecContinue = 0x003C;
constexpr quint16 RecExtSst = 0x00FF;
constexpr quint16 RecColInfo = 0x007D;
constexpr quint16 RecDimensions = 0x0200;
constexpr quint16 RecWindow2 = 0x023E;
constexpr quint16 RecLabelSst = 0x00FD;
constexpr quint16 RecNumber = 0x0203;
constexpr quint16 RecRk = 0x027E;
constexpr quint16 RecBoolErr = 0x0205;

constexpr int MaxRecordData = 8224;

// Cell formats (indexes into the XF table). 0..14 are the style XFs Excel expects,
// 15 the default cell format.
constexpr quint16 XfStyleCount = 15;
constexpr quint16 XfDefault = 15;
constexpr quint16 XfHeader = 16;
constexpr quint16 XfDate = 17;
constexpr quint16 XfDateTime = 18;
constexpr quint16 XfMoney = 19;

constexpr quint16 FontBold = 5; // the fifth FONT record: index 4 does not exist
constexpr quint16 FormatDate = 14; // built-in short date, shown in the reader's locale
constexpr quint16 FormatMoney = 4; // built-in "#,##0.00"
constexpr quint16 FormatDateTime = 164; // first custom format

// Compound file.
constexpr int SectorSize = 512;
constexpr quint32 FreeSect = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSect = 0xFFFFFFFD;
constexpr quint32 DifSect = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;
constexpr int HeaderDifatEntries = 109;
constexpr int EntriesPerSector = SectorSize / 4;
// Streams below this size would live in the mini stream; the workbook is padded up to it.
constexpr qsizetype MiniStreamCutoff = 4096;

inline void put16(char *p, quint16 v) { qToLittleEndian(v, p); }
inline void put32(char *p, quint32 v) { qToLittleEndian(v, p); }
inline void putDouble(char *p, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, p);
}

class Buffer
{
public:
    QByteArray data;

    void u8(quint8 v) { data.append(char(v)); }
    void u16(quint16 v) { char b[2]; put16(b, v); data.append(b, 2); }
    void u32(quint32 v) { char b[4]; put32(b, v); data.append(b, 4); }
    void zeros(qsizetype n) { data.append(n, '\0'); }
    qsizetype size() const { return data.size(); }

    // Starts a record whose length is filled in by endRecord.
    qsizetype beginRecord(quint16 type)
    {
        u16(type);
        u16(0);
        return data.size();
    }
    void endRecord(qsizetype start)
    {
        put16(data.data() + start - 2, quint16(data.size() - start));
    }
    void emptyRecord(quint16 type) { endRecord(beginRecord(type)); }

    // UTF-16 code units as stored: one byte each when compressed, else two.
    void chars(const QChar *text, qsizetype n, bool wide)
    {
        const qsizetype at = data.size();
        data.resize(at + n * (wide ? 2 : 1));
        char *p = data.data() + at;
        if (wide) {
            for (qsizetype i = 0; i < n; ++i, p += 2)
                put16(p, text[i].unicode());
        } else {
            for (qsizetype i = 0; i < n; ++i)
                *p++ = char(text[i].unicode());
        }
    }
};

bool needsWide(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
}

// Text of at most 255 characters with a one-byte length (font and sheet names).
void shortString(Buffer &b, const QString &text)
{
    const bool wide = needsWide(text);
    b.u8(quint8(text.size()));
    b.u8(wide ? 1 : 0);
    b.chars(text.constData(), text.size(), wide);
}

// Text with a two-byte length (number formats).
void longString(Buffer &b, const QString &text)
{
    const bool wide = needsWide(text);
    b.u16(quint16(text.size()));
    b.u8(wide ? 1 : 0);
    b.chars(text.constData(), text.size(), wide);
}

void bof(Buffer &b, quint16 kind)
{
    const qsizetype r = b.beginRecord(RecBof);
    b.u16(0x0600); // BIFF8
    b.u16(kind);
    b.u16(0x0DBB); // build
    b.u16(0x07CC); // year
    b.u32(0); // file history
    b.u32(0x06); // lowest BIFF version that can read it
    b.endRecord(r);
}

// The 30-bit compact form of a number, when it holds the value exactly.
bool encodeRk(double v, quint32 *rk)
{
    // Minus zero keeps its sign through the raw form below.
    if (v >= -536870912.0 && v <= 536870911.0 && v == std::floor(v) && !(v == 0.0 && std::signbit(v))) {
        *rk = (quint32(qint32(v)) << 2) | 2;
        return true;
    }
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    if ((bits & 0x3FFFFFFFFull) == 0) {
        *rk = quint32(bits >> 32);
        return true;
    }
    const double hundredths = std::nearbyint(v * 100.0);
    if (hundredths >= -536870912.0 && hundredths <= 536870911.0 && hundredths / 100.0 == v) {
        *rk = (quint32(qint32(hundredths)) << 2) | 3;
        return true;
    }
    return false;
}

// Serial day number in the 1900 date system, which counts a 29 February 1900
// that never was: dates from March 1900 on count from 30 December 1899.
bool dateSerial(const QDate &date, double *serial)
{
    if (!date.isValid() || date < QDate(1900, 1, 1) || date > QDate(9999, 12, 31))
        return false;
    const QDate epoch = date < QDate(1900, 3, 1) ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    *serial = double(epoch.daysTo(date));
    return true;
}

QString clippedText(QString text)
{
    if (text.size() > XlsWriter::MaxTextLength) {
        qsizetype n = XlsWriter::MaxTextLength;
        if (text.at(n - 1).isHighSurrogate())
            --n;
        text.truncate(n);
    }
    return text;
}

// Approximate display width in characters; East Asian characters count double.
int textWidth(const QString &text)
{
    int w = 0;
    for (QChar c : text) {
        w += c.unicode() >= 0x1100 ? 2 : 1;
        if (w > 200)
            break;
    }
    return w;
}

int integerDigits(double v)
{
    const double a = std::fabs(v);
    return a < 10.0 ? 1 : int(std::floor(std::log10(a))) + 1;
}

class WorkbookBuilder
{
public:
    WorkbookBuilder(const QStringList &captions, const QList<QVector<QVariant>> &rows, int columns)
        : m_captions(captions), m_rows(rows), m_columns(columns)
    {
    }

    void buildSheet(qsizetype first, qsizetype last, bool selected);
    void buildGlobals(const QStringList &sheetNames);
    // The whole stream in pieces: globals then every sheet.
    QList<QByteArray> pieces() const;

private:
    struct Cell
    {
        quint16 xf = XfDefault;
        enum Kind { Empty, Number, Text, Boolean, Error } kind = Empty;
        double number = 0;
        QString text;
        bool boolean = false;
        int width = 0;
    };

    Cell classify(const QVariant &value) const;
    quint32 stringIndex(const QString &text);
    void writeCell(Buffer &b, quint16 row, quint16 col, const Cell &cell);
    void writeSst(Buffer &b);

    const QStringList &m_captions;
    const QList<QVector<QVariant>> &m_rows;
    const int m_columns;
    const int m_moneyType = qMetaTypeId<Money>();

    QHash<QString, quint32> m_stringIndex;
    QList<QString> m_strings;
    quint32 m_stringUses = 0;

    Buffer m_globals;
    QList<qsizetype> m_sheetOffsetAt;
    QList<QByteArray> m_sheets;
};

WorkbookBuilder::Cell WorkbookBuilder::classify(const QVariant &value) const
{
    Cell c;
    if (value.isNull()) // also a database NULL of any type
        return c;
    const int type = value.metaType().id();
    if (type == m_moneyType) {
        const Money m = value.value<Money>();
        c.kind = Cell::Number;
        c.number = m.toDouble();
        c.xf = XfMoney;
        const int digits = integerDigits(c.number);
        c.width = digits + (digits - 1) / 3 + 3 + (m.isNegative() ? 1 : 0);
        return c;
    }
    switch (type) {
    case QMetaType::QString:
        c.text = clippedText(value.toString());
        if (c.text.isEmpty())
            return c;
        c.kind = Cell::Text;
        c.width = textWidth(c.text);
        return c;
    case QMetaType::Bool:
        c.kind = Cell::Boolean;
        c.boolean = value.toBool();
        c.width = 5;
        return c;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        c.number = value.toDouble();
        if (!std::isfinite(c.number)) {
            c.kind = Cell::Error;
            c.width = 5;
            return c;
        }
        c.kind = Cell::Number;
        c.width = std::min(11, integerDigits(c.number) + (c.number < 0 ? 1 : 0)
                                   + (c.number == std::floor(c.number) ? 0 : 4));
        return c;
    case QMetaType::QDate:
        if (dateSerial(value.toDate(), &c.number)) {
            c.kind = Cell::Number;
            c.xf = XfDate;
            c.width = 10;
            return c;
        }
        break;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dateSerial(dt.date(), &c.number)) {
            c.kind = Cell::Number;
            c.number += dt.time().msecsSinceStartOfDay() / 86400000.0;
            c.xf = XfDateTime;
            c.width = 19;
            return c;
        }
        break;
    }
    default:
        break;
    }
    // Dates Excel cannot hold and other types keep their text.
    c.text = clippedText(type == QMetaType::QDate ? value.toDate().toString(Qt::ISODate)
                                                  : value.toString());
    if (!c.text.isEmpty()) {
        c.kind = Cell::Text;
        c.width = textWidth(c.text);
    }
    return c;
}

quint32 WorkbookBuilder::stringIndex(const QString &text)
{
    ++m_stringUses;
    const auto it = m_stringIndex.constFind(text);
    if (it != m_stringIndex.cend())
        return it.value();
    const quint32 index = quint32(m_strings.size());
    m_stringIndex.insert(text, index);
    m_strings.append(text);
    return index;
}

void WorkbookBuilder::writeCell(Buffer &b, quint16 row, quint16 col, const Cell &cell)
{
    char r[18];
    put16(r + 4, row);
    put16(r + 6, col);
    put16(r + 8, cell.xf);
    switch (cell.kind) {
    case Cell::Empty:
        return;
    case Cell::Text:
        put16(r, RecLabelSst);
        put16(r + 2, 10);
        put32(r + 10, stringIndex(cell.text));
        b.data.append(r, 14);
        return;
    case Cell::Number: {
        quint32 rk;
        if (encodeRk(cell.number, &rk)) {
            put16(r, RecRk);
            put16(r + 2, 10);
            put32(r + 10, rk);
            b.data.append(r, 14);
        } else {
            put16(r, RecNumber);
            put16(r + 2, 14);
            putDouble(r + 10, cell.number);
            b.data.append(r, 18);
        }
        return;
    }
    case Cell::Boolean:
    case Cell::Error:
        put16(r, RecBoolErr);
        put16(r + 2, 8);
        r[10] = cell.kind == Cell::Boolean ? char(cell.boolean ? 1 : 0) : char(0x24); // #NUM!
        r[11] = cell.kind == Cell::Boolean ? 0 : 1;
        b.data.append(r, 12);
        return;
    }
}

void WorkbookBuilder::buildSheet(qsizetype first, qsizetype last, bool selected)
{
    Buffer b;
    b.data.reserve((last - first + 1) * m_columns * 15 + 1024);
    bof(b, 0x0010);

    // Cells are classified once: for the column widths first, then written.
    QVector<Cell> header(m_columns);
    QVector<int> widths(m_columns, 8);
    for (int c = 0; c < m_columns; ++c) {
        if (c < m_captions.size())
            header[c] = classify(m_captions.at(c));
        header[c].xf = XfHeader;
        widths[c] = std::max(widths[c], header[c].width);
    }
    QVector<Cell> cells;
    cells.reserve((last - first) * m_columns);
    for (qsizetype r = first; r < last; ++r) {
        const QVector<QVariant> &row = m_rows.at(r);
        for (int c = 0; c < m_columns; ++c) {
            cells.append(c < row.size() ? classify(row.at(c)) : Cell());
            widths[c] = std::max(widths[c], cells.last().width);
        }
    }

    for (int c = 0; c < m_columns; ++c) {
        const qsizetype r = b.beginRecord(RecColInfo);
        b.u16(quint16(c));
        b.u16(quint16(c));
        b.u16(quint16(std::min(widths[c] + 2, 80) * 256));
        b.u16(XfDefault);
        b.u16(0);
        b.u16(0);
        b.endRecord(r);
    }

    const qsizetype dim = b.beginRecord(RecDimensions);
    b.u32(0);
    b.u32(quint32(last - first + 1));
    b.u16(0);
    b.u16(quint16(m_columns));
    b.u16(0);
    b.endRecord(dim);

    for (int c = 0; c < m_columns; ++c)
        writeCell(b, 0, quint16(c), header[c]);
    qsizetype i = 0;
    for (qsizetype r = first; r < last; ++r) {
        const quint16 row = quint16(r - first + 1);
        for (int c = 0; c < m_columns; ++c)
            writeCell(b, row, quint16(c), cells.at(i++));
    }

    const qsizetype w2 = b.beginRecord(RecWindow2);
    // Grid lines, headings, zeros, automatic grid colour, outline symbols;
    // the first sheet is also the selected and active one.
    b.u16(selected ? 0x06B6 : 0x00B6);
    b.u16(0); // top row
    b.u16(0); // left column
    b.u16(0x40); // grid line colour
    b.u16(0);
    b.u16(0); // page break preview zoom
    b.u16(0); // normal zoom
    b.u32(0);
    b.endRecord(w2);
    b.emptyRecord(RecEof);
    m_sheets.append(b.data);
}

void WorkbookBuilder::writeSst(Buffer &b)
{
    // EXTSST indexes every dsst-th string by its place in the stream.
    const quint32 unique = quint32(m_strings.size());
    const quint16 bucket = quint16(std::max<quint32>(8, (unique + 127) / 128));
    struct Place
    {
        quint32 streamPos;
        quint16 recordOffset;
    };
    QList<Place> places;

    qsizetype record = b.beginRecord(RecSst);
    b.u32(m_stringUses);
    b.u32(unique);
    int room = MaxRecordData - 8;
    auto nextRecord = [&] {
        b.endRecord(record);
        record = b.beginRecord(RecContinue);
        room = MaxRecordData;
    };

    for (quint32 i = 0; i < unique; ++i) {
        const QString &s = m_strings.at(i);
        const bool wide = needsWide(s);
        const int charSize = wide ? 2 : 1;
        // The length and flags must share a record with at least the first character.
        if (room < 3 + charSize)
            nextRecord();
        if (i % bucket == 0)
            places.append({quint32(b.size()), quint16(b.size() - record + 4)});
        b.u16(quint16(s.size()));
        b.u8(wide ? 1 : 0);
        room -= 3;
        qsizetype done = 0;
        while (done < s.size()) {
            const qsizetype n = std::min<qsizetype>(s.size() - done, room / charSize);
            if (n == 0) {
                // A string carried into CONTINUE restates its character width.
                nextRecord();
                b.u8(wide ? 1 : 0);
                room -= 1;
                continue;
            }
            b.chars(s.constData() + done, n, wide);
            room -= int(n * charSize);
            done += n;
        }
    }
    b.endRecord(record);

    const qsizetype ext = b.beginRecord(RecExtSst);
    b.u16(bucket);
    for (const Place &p : places) {
        b.u32(p.streamPos);
        b.u16(p.recordOffset);
        b.u16(0);
    }
    b.endRecord(ext);
}

void WorkbookBuilder::buildGlobals(const QStringList &sheetNames)
{
    Buffer &b = m_globals;
    bof(b, 0x0005);

    qsizetype r = b.beginRecord(RecCodepage);
    b.u16(1200); // UTF-16
    b.endRecord(r);

    r = b.beginRecord(RecWindow1);
    b.u16(0x0168);
    b.u16(0x001E);
    b.u16(0x3A5C);
    b.u16(0x2328);
    b.u16(0x0038); // horizontal and vertical scroll bars, sheet tabs
    b.u16(0); // active sheet
    b.u16(0); // first visible tab
    b.u16(1); // selected sheets
    b.u16(0x0258); // tab bar width ratio
    b.endRecord(r);

    r = b.beginRecord(RecDateMode);
    b.u16(0); // 1900 date system
    b.endRecord(r);

    for (int f = 0; f < 5; ++f) {
        const bool bold = f == 4;
        r = b.beginRecord(RecFont);
        b.u16(200); // 10 pt in twips
        b.u16(bold ? 0x0001 : 0); // the old bold bit, still read by some readers
        b.u16(0x7FFF); // automatic colour
        b.u16(bold ? 700 : 400);
        b.u16(0);
        b.u8(0);
        b.u8(0);
        b.u8(0);
        b.u8(0);
        shortString(b, u"Arial"_s);
        b.endRecord(r);
    }
    static_assert(FontBold == 5);

    r = b.beginRecord(RecFormat);
    b.u16(FormatDateTime);
    longString(b, u"yyyy-mm-dd hh:mm:ss"_s);
    b.endRecord(r);

    auto xf = [&b](quint16 font, quint16 format, bool style, quint8 usedAttributes) {
        const qsizetype x = b.beginRecord(RecXf);
        b.u16(font);
        b.u16(format);
        b.u16(style ? 0xFFF5 : 0x0001); // locked; a style has no parent, a cell format has style 0
        b.u8(0x20); // bottom aligned
        b.u8(0);
        b.u8(0);
        b.u8(usedAttributes);
        b.u32(0); // no borders
        b.u32(0);
        b.u16(0x20C0); // automatic pattern colours
        b.endRecord(x);
    };
    xf(0, 0, true, 0x00);
    for (int i = 1; i < XfStyleCount; ++i)
        xf(0, 0, true, 0xF4);
    xf(0, 0, false, 0x00); // XfDefault
    xf(FontBold, 0, false, 0x08); // XfHeader
    xf(0, FormatDate, false, 0x04); // XfDate
    xf(0, FormatDateTime, false, 0x04); // XfDateTime
    xf(0, FormatMoney, false, 0x04); // XfMoney

    r = b.beginRecord(RecStyle);
    b.u16(0x8000); // built-in style on XF 0
    b.u8(0); // "Normal"
    b.u8(0xFF);
    b.endRecord(r);

    for (const QString &name : sheetNames) {
        r = b.beginRecord(RecBoundSheet);
        m_sheetOffsetAt.append(b.size());
        b.u32(0); // filled in once the globals' size is known
        b.u8(0); // visible
        b.u8(0); // worksheet
        shortString(b, name);
        b.endRecord(r);
    }

    writeSst(b);
    b.emptyRecord(RecEof);

    quint32 offset = quint32(b.size());
    for (qsizetype i = 0; i < m_sheets.size(); ++i) {
        put32(b.data.data() + m_sheetOffsetAt.at(i), offset);
        offset += quint32(m_sheets.at(i).size());
    }
}

QList<QByteArray> WorkbookBuilder::pieces() const
{
    QList<QByteArray> all;
    all.append(m_globals.data);
    all.append(m_sheets);
    return all;
}

// Writes one stream named "Workbook" as a version 3 compound file. Layout: the
// stream's sectors in one run, then the directory, the FAT and the DIFAT sectors.
class CompoundFileWriter
{
public:
    CompoundFileWriter(QIODevice &out, const QList<QByteArray> &pieces)
        : m_out(out), m_pieces(pieces)
    {
    }
    bool write();

private:
    bool put(const QByteArray &bytes) { return m_out.write(bytes) == bytes.size(); }
    QByteArray header() const;
    QByteArray directory() const;
    QByteArray fat() const;
    QByteArray difat() const;

    QIODevice &m_out;
    const QList<QByteArray> &m_pieces;
    quint32 m_streamSize = 0;
    quint32 m_streamSectors = 0;
    quint32 m_fatSectors = 0;
    quint32 m_difatSectors = 0;
    quint32 directorySector() const { return m_streamSectors; }
    quint32 firstFatSector() const { return m_streamSectors + 1; }
    quint32 firstDifatSector() const { return firstFatSector() + m_fatSectors; }
    quint32 totalSectors() const { return firstDifatSector() + m_difatSectors; }
};

bool CompoundFileWriter::write()
{
    qint64 size = 0;
    for (const QByteArray &p : m_pieces)
        size += p.size();
    const qint64 padded = std::max<qint64>(size, MiniStreamCutoff);
    m_streamSize = quint32(padded);
    m_streamSectors = quint32((padded + SectorSize - 1) / SectorSize);

    // The FAT must also map its own sectors and the DIFAT's, so grow both until they settle.
    for (;;) {
        const quint32 fat = (totalSectors() + EntriesPerSector - 1) / EntriesPerSector;
        const quint32 difat = fat > HeaderDifatEntries
            ? (fat - HeaderDifatEntries + EntriesPerSector - 2) / (EntriesPerSector - 1)
            : 0;
        if (fat == m_fatSectors && difat == m_difatSectors)
            break;
        m_fatSectors = fat;
        m_difatSectors = difat;
    }

    if (!put(header()))
        return false;
    for (const QByteArray &p : m_pieces)
        if (!put(p))
            return false;
    const qint64 tail = qint64(m_streamSectors) * SectorSize - size;
    return put(QByteArray(tail, '\0')) && put(directory()) && put(fat()) && put(difat());
}

QByteArray CompoundFileWriter::header() const
{
    QByteArray h(SectorSize, '\0');
    char *p = h.data();
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(p, signature, 8);
    put16(p + 24, 0x003E); // minor version
    put16(p + 26, 0x0003); // major version: 512-byte sectors
    put16(p + 28, 0xFFFE); // little-endian
    put16(p + 30, 9); // sector shift
    put16(p + 32, 6); // mini sector shift
    put32(p + 40, 0); // directory sectors (always 0 in version 3)
    put32(p + 44, m_fatSectors);
    put32(p + 48, directorySector());
    put32(p + 52, 0);
    put32(p + 56, quint32(MiniStreamCutoff));
    put32(p + 60, EndOfChain); // no mini FAT
    put32(p + 64, 0);
    put32(p + 68, m_difatSectors ? firstDifatSector() : EndOfChain);
    put32(p + 72, m_difatSectors);
    for (int i = 0; i < HeaderDifatEntries; ++i)
        put32(p + 76 + 4 * i, quint32(i) < m_fatSectors ? firstFatSector() + quint32(i) : FreeSect);
    return h;
}

QByteArray CompoundFileWriter::directory() const
{
    QByteArray d(SectorSize, '\0');
    auto entry = [&d](int index, const QString &name, quint8 type, quint32 child, quint32 start, quint32 size) {
        char *e = d.data() + index * 128;
        for (qsizetype i = 0; i < name.size(); ++i)
            put16(e + 2 * i, name.at(i).unicode());
        put16(e + 64, name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
        e[66] = char(type);
        e[67] = 1; // black
        put32(e + 68, NoStream);
        put32(e + 72, NoStream);
        put32(e + 76, child);
        put32(e + 116, start);
        put32(e + 120, size);
    };
    entry(0, u"Root Entry"_s, 5, 1, EndOfChain, 0);
    entry(1, u"Workbook"_s, 2, NoStream, 0, m_streamSize);
    entry(2, QString(), 0, NoStream, 0, 0);
    entry(3, QString(), 0, NoStream, 0, 0);
    d[2 * 128 + 67] = 0;
    d[3 * 128 + 67] = 0;
    return d;
}

QByteArray CompoundFileWriter::fat() const
{
    QByteArray f(qsizetype(m_fatSectors) * SectorSize, '\xFF');
    char *p = f.data();
    for (quint32 s = 0; s < m_streamSectors; ++s)
        put32(p + 4 * s, s + 1 == m_streamSectors ? EndOfChain : s + 1);
    put32(p + 4 * directorySector(), EndOfChain);
    for (quint32 s = 0; s < m_fatSectors; ++s)
        put32(p + 4 * (firstFatSector() + s), FatSect);
    for (quint32 s = 0; s < m_difatSectors; ++s)
        put32(p + 4 * (firstDifatSector() + s), DifSect);
    return f;
}

QByteArray CompoundFileWriter::difat() const
{
    QByteArray d(qsizetype(m_difatSectors) * SectorSize, '\xFF');
    char *p = d.data();
    quint32 fatIndex = HeaderDifatEntries;
    for (quint32 s = 0; s < m_difatSectors; ++s) {
        char *sector = p + s * SectorSize;
        for (int i = 0; i < EntriesPerSector - 1 && fatIndex < m_fatSectors; ++i, ++fatIndex)
            put32(sector + 4 * i, firstFatSector() + fatIndex);
        put32(sector + SectorSize - 4, s + 1 < m_difatSectors ? firstDifatSector() + s + 1 : EndOfChain);
    }
    return d;
}

QString cleanSheetName(const QString &name)
{
    QString n = name;
    for (QChar &c : n)
        if (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\'
            || c.unicode() < 0x20)
            c = u'_';
    while (n.startsWith(u'\''))
        n.remove(0, 1);
    return n.trimmed().isEmpty() ? u"Sheet"_s : n;
}

} // namespace

QStringList XlsWriter::SheetNames(const QString &sheetName, qsizetype rowCount)
{
    const QString base = cleanSheetName(sheetName);
    const qsizetype count = std::max<qsizetype>(1, (rowCount + DataRowsPerSheet - 1) / DataRowsPerSheet);
    QStringList names;
    for (qsizetype i = 1; i <= count; ++i) {
        const QString suffix = i == 1 ? QString() : u" (%1)"_s.arg(i);
        QString name = base.left(31 - suffix.size());
        if (name.at(name.size() - 1).isHighSurrogate())
            name.chop(1);
        while (name.endsWith(u'\''))
            name.chop(1);
        if (name.isEmpty())
            name = u"Sheet"_s;
        names << name + suffix;
    }
    return names;
}

bool XlsWriter::Write(const QString &fileName, const QString &sheetName, const QStringList &captions,
                      const QList<QVector<QVariant>> &rows, QString *errorText)
{
    auto fail = [errorText](const QString &text) {
        if (errorText)
            *errorText = text;
        return false;
    };

    qsizetype columns = captions.size();
    for (const QVector<QVariant> &row : rows)
        columns = std::max(columns, row.size());
    if (columns > MaxColumns)
        return fail(u"Cannot export %1 columns: an Excel sheet holds at most %2."_s.arg(columns).arg(MaxColumns));

    const QStringList names = SheetNames(sheetName, rows.size());
    WorkbookBuilder builder(captions, rows, int(columns));
    for (qsizetype s = 0; s < names.size(); ++s) {
        const qsizetype first = s * DataRowsPerSheet;
        builder.buildSheet(first, std::min(rows.size(), first + DataRowsPerSheet), s == 0);
    }
    builder.buildGlobals(names);
    const QList<QByteArray> pieces = builder.pieces();
    qint64 size = 0;
    for (const QByteArray &p : pieces)
        size += p.size();
    if (size > 0x7FFFFFFF)
        return fail(u"Cannot export: the workbook would exceed the size an Excel file can hold."_s);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(u"Cannot write the file %1: %2"_s.arg(fileName, file.errorString()));
    CompoundFileWriter writer(file, pieces);
    if (!writer.write()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(u"Cannot write the file %1: %2"_s.arg(fileName, reason));
    }
    if (!file.commit())
        return fail(u"Cannot write the file %1: %2"_s.arg(fileName, file.errorString()));
    if (errorText)
        errorText->clear();
    return true;
}
