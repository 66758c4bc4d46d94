#include "Query.h"

#include "Connection.h"
#include "DbError.h"
#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <algorithm>

namespace {

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}

QVariant fromStorage(FieldType type, const QVariant &raw)
{
    if (raw.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Integer:
        return raw.toLongLong();
    case FieldType::Float:
        return raw.toDouble();
    case FieldType::Money: {
        if (raw.typeId() == QMetaType::QString) {
            bool ok = false;
            const Money m = Money::fromString(raw.toString(), &ok);
            return ok ? QVariant::fromValue(m) : QVariant();
        }
        return QVariant::fromValue(Money::fromDouble(raw.toDouble()));
    }
    case FieldType::Boolean: {
        if (raw.typeId() == QMetaType::QString) {
            const QString t = raw.toString().trimmed();
            return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1")
                || t == QLatin1String("-1");
        }
        return raw.toLongLong() != 0;
    }
    case FieldType::Date: {
        const QString t = raw.toString();
        QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::DateTime: {
        QString t = raw.toString();
        t.replace(QLatin1Char(' '), QLatin1Char('T'));
        QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
        if (!dt.isValid()) {
            const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
            if (d.isValid())
                dt = d.startOfDay();
        }
        return dt.isValid() ? QVariant(dt) : raw.toString();
    }
    case FieldType::Text:
        return raw.toString();
    case FieldType::Unknown:
        break;
    }
    return raw;
}

QVariant toStorage(FieldType type, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    if (v.canConvert<Money>() && v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toDouble();
    switch (type) {
    case FieldType::Date:
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date().toString(Qt::ISODate);
        break;
    case FieldType::DateTime:
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        break;
    case FieldType::Boolean:
        return v.toBool() ? 1 : 0;
    case FieldType::Money:
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const Money m = Money::fromString(v.toString(), &ok);
            return ok ? QVariant(m.toDouble()) : v;
        }
        return v.toDouble();
    default:
        break;
    }
    return v;
}

FieldType typeFromValue(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return FieldType::Integer;
    case QMetaType::Double:
        return FieldType::Float;
    default:
        return FieldType::Text;
    }
}

// A comparable key of one cell for sorting.
struct SortKey
{
    int kind = 0; // 0 null, 1 number, 2 text
    double number = 0;
    qint64 integer = 0;
    bool exact = false;
    QString text;
};

SortKey makeKey(const QVariant &v)
{
    SortKey k;
    if (!v.isValid() || v.isNull())
        return k;
    if (v.metaType() == QMetaType::fromType<Money>()) {
        k.kind = 1;
        k.exact = true;
        k.integer = v.value<Money>().units();
        return k;
    }
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        k.kind = 1;
        k.exact = true;
        k.integer = v.toLongLong() * Money::Scale;
        return k;
    case QMetaType::Double:
        k.kind = 1;
        k.number = v.toDouble();
        return k;
    case QMetaType::Bool:
        k.kind = 1;
        k.exact = true;
        k.integer = v.toBool() ? 1 : 0;
        return k;
    case QMetaType::QDate:
        k.kind = 1;
        k.exact = true;
        k.integer = v.toDate().toJulianDay();
        return k;
    case QMetaType::QDateTime:
        k.kind = 1;
        k.exact = true;
        k.integer = v.toDateTime().toMSecsSinceEpoch();
        return k;
    default:
        k.kind = 2;
        k.text = v.toString();
        return k;
    }
}

int compareKeys(const SortKey &a, const SortKey &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (a.kind == 1) {
        if (a.exact && b.exact)
            return a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
        const double x = a.exact ? double(a.integer) / Money::Scale : a.number;
        const double y = b.exact ? double(b.integer) / Money::Scale : b.number;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.kind == 2)
        return a.text.compare(b.text, Qt::CaseInsensitive);
    return 0;
}

// The text folded unit by unit exactly as the case-insensitive compare folds
// it, so that a sort folds each cell once and then compares plain units.
QString foldedText(const QString &text)
{
    QString out(text.size(), Qt::Uninitialized);
    const char16_t *in = reinterpret_cast<const char16_t *>(text.utf16());
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    char32_t last = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = in[i];
        if (ch < 0x80) {
            o[i] = ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch;
            last = ch;
            continue;
        }
        char32_t ucs4 = ch;
        if (QChar::isLowSurrogate(ucs4) && QChar::isHighSurrogate(last))
            ucs4 = QChar::surrogateToUcs4(char16_t(last), ch);
        last = ch;
        const char32_t folded = QChar::toCaseFolded(ucs4);
        o[i] = QChar::requiresSurrogates(ucs4) ? QChar::lowSurrogate(folded) : char16_t(folded);
    }
    return out;
}

// compareKeys for keys whose texts went through foldedText.
int compareFoldedKeys(const SortKey &a, const SortKey &b)
{
    if (a.kind == 2 && b.kind == 2) {
        // Cells are short: a plain loop beats the library's vectorised set-up.
        const QChar *x = a.text.constData();
        const QChar *y = b.text.constData();
        const qsizetype n = std::min(a.text.size(), b.text.size());
        for (qsizetype i = 0; i < n; ++i)
            if (x[i] != y[i])
                return x[i].unicode() < y[i].unicode() ? -1 : 1;
        return a.text.size() < b.text.size() ? -1 : (a.text.size() > b.text.size() ? 1 : 0);
    }
    return compareKeys(a, b);
}

} // namespace

FieldType FieldTypeFromDeclared(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.isEmpty())
        return FieldType::Unknown;
    auto starts = [&t](const char *p) { return t.startsWith(QLatin1String(p)); };
    if (starts("CURRENCY") || starts("MONEY") || starts("DECIMAL") || starts("NUMERIC"))
        return FieldType::Money;
    if (starts("DATETIME") || starts("TIMESTAMP"))
        return FieldType::DateTime;
    if (starts("DATE"))
        return FieldType::Date;
    if (starts("BOOL") || starts("BIT") || starts("YESNO"))
        return FieldType::Boolean;
    if (t.contains(QLatin1String("INT")) || starts("COUNTER") || starts("AUTOINCREMENT"))
        return FieldType::Integer;
    if (starts("REAL") || starts("FLOA") || starts("DOUB") || starts("SINGLE"))
        return FieldType::Float;
    return FieldType::Text;
}

Query::Query(Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
}

int Query::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Query::requireActive() const
{
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
}

void Query::Open()
{
    if (m_state != State::Inactive)
        return;
    load();
}

void Query::load()
{
    if (!m_connection || !m_connection->Connected())
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    QSqlQuery q(m_connection->database());
    q.setForwardOnly(true);
    if (!q.exec(m_sql))
        throw DbError(errorText(q.lastError()));

    QList<Field> fields;
    const QSqlRecord rec = q.record();
    sqlite3_stmt *stmt = nullptr;
    const QVariant handle = q.result() ? q.result()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0)
        stmt = *static_cast<sqlite3_stmt *const *>(handle.constData());
    for (int i = 0; i < rec.count(); ++i) {
        Field f;
        f.name = rec.fieldName(i);
        if (stmt) {
            const char *decl = sqlite3_column_decltype(stmt, i);
            f.declaredType = decl ? QString::fromUtf8(decl) : QString();
        }
        f.type = FieldTypeFromDeclared(f.declaredType);
        fields << f;
    }

    QList<QVector<QVariant>> rows;
    const int n = int(fields.size());
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i) {
            const QVariant raw = q.value(i);
            if (fields.at(i).type == FieldType::Unknown && !raw.isNull())
                fields[i].type = typeFromValue(raw);
            row[i] = fromStorage(fields.at(i).type, raw);
        }
        rows << std::move(row);
    }
    if (q.lastError().isValid())
        throw DbError(errorText(q.lastError()));
    for (Field &f : fields)
        if (f.type == FieldType::Unknown)
            f.type = FieldType::Text;

    m_memory = false;
    m_fields = fields;
    m_rows = std::move(rows);
    m_state = State::Browse;
    m_pending.clear();
    applySort();
    m_current = m_order.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_order.isEmpty();
    Q_EMIT reset();
    Q_EMIT currentRowChanged(m_current);
}

void Query::Close()
{
    if (m_state == State::Inactive && m_fields.isEmpty())
        return;
    m_state = State::Inactive;
    m_fields.clear();
    m_rows.clear();
    m_order.clear();
    m_pending.clear();
    m_current = -1;
    m_bof = m_eof = true;
    Q_EMIT reset();
}

void Query::ExecSql()
{
    if (!m_connection)
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    m_connection->Execute(m_sql);
}

void Query::Requery()
{
    if (m_memory) {
        First();
        return;
    }
    m_state = State::Inactive;
    load();
}

void Query::CreateDataSet(const QList<Field> &fields)
{
    m_memory = true;
    m_fields = fields;
    m_rows.clear();
    m_order.clear();
    m_pending.clear();
    m_state = State::Browse;
    m_current = -1;
    m_bof = m_eof = true;
    Q_EMIT reset();
}

void Query::AppendRecord(const QVariantList &values)
{
    requireActive();
    QVector<QVariant> row(m_fields.size());
    for (int i = 0; i < row.size() && i < values.size(); ++i)
        row[i] = values.at(i);
    m_rows << row;
    m_order << int(m_rows.size() - 1);
}

void Query::SetRecords(QList<QVector<QVariant>> rows)
{
    requireActive();
    for (auto &r : rows)
        r.resize(m_fields.size());
    m_rows = std::move(rows);
    applySort();
    m_current = m_order.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_order.isEmpty();
    Q_EMIT reset();
    Q_EMIT currentRowChanged(m_current);
}

void Query::setRow(int row)
{
    if (m_order.isEmpty()) {
        m_bof = m_eof = true;
        if (m_current != -1) {
            m_current = -1;
            Q_EMIT currentRowChanged(-1);
        }
        return;
    }
    const int r = std::clamp(row, 0, int(m_order.size()) - 1);
    m_bof = row <= 0;
    m_eof = false;
    if (r != m_current) {
        m_current = r;
        Q_EMIT currentRowChanged(r);
    }
}

void Query::Next()
{
    if (m_order.isEmpty() || m_current >= m_order.size() - 1) {
        m_eof = true;
        return;
    }
    setRow(m_current + 1);
}

void Query::Prior()
{
    if (m_order.isEmpty() || m_current <= 0) {
        m_bof = true;
        return;
    }
    setRow(m_current - 1);
}

QVariant Query::value(int row, int column) const
{
    if (row < 0 || row >= m_order.size() || column < 0 || column >= m_fields.size())
        return QVariant();
    return m_rows.at(m_order.at(row)).at(column);
}

QVariant Query::value(const QString &fieldName) const
{
    const int c = fieldIndex(fieldName);
    if (c < 0)
        throw DbError(QStringLiteral("Field '%1' not found.").arg(fieldName));
    if (m_state == State::Insert || m_state == State::Edit)
        return m_pending.value(c);
    return value(m_current, c);
}

void Query::setStoredValue(int row, int column, const QVariant &value)
{
    if (row < 0 || row >= m_order.size() || column < 0 || column >= m_fields.size())
        return;
    m_rows[m_order.at(row)][column] = value;
    Q_EMIT rowChanged(row);
}

bool Query::Locate(const QString &fieldName, const QVariant &value, Qt::CaseSensitivity cs)
{
    const int c = fieldIndex(fieldName);
    if (c < 0)
        return false;
    const SortKey wanted = makeKey(value);
    for (int r = 0; r < m_order.size(); ++r) {
        const QVariant &v = m_rows.at(m_order.at(r)).at(c);
        bool equal;
        if (v.typeId() == QMetaType::QString || value.typeId() == QMetaType::QString)
            equal = v.toString().compare(value.toString(), cs) == 0;
        else
            equal = compareKeys(makeKey(v), wanted) == 0;
        if (equal) {
            setRow(r);
            return true;
        }
    }
    return false;
}

Query::Bookmark Query::GetBookmark() const
{
    return m_order.value(m_current, -1);
}

bool Query::GotoBookmark(Bookmark bookmark)
{
    const int r = int(m_order.indexOf(bookmark));
    if (r < 0)
        return false;
    setRow(r);
    return true;
}

void Query::setSort(const QString &sortText)
{
    const Bookmark current = GetBookmark();
    m_sort = sortText;
    applySort();
    Q_EMIT reset();
    m_current = -1;
    if (!GotoBookmark(current))
        setRow(0);
}

void Query::applySort()
{
    m_order.resize(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_order[i] = i;
    struct Part {
        int column;
        bool descending;
    };
    QList<Part> parts;
    const auto pieces = m_sort.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        const QStringList words = piece.simplified().split(QLatin1Char(' '));
        if (words.isEmpty())
            continue;
        bool descending = false;
        QString name = piece.trimmed();
        if (words.size() >= 2) {
            const QString dir = words.last();
            if (dir.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0
                || dir.compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0) {
                descending = dir.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
                name = piece.trimmed();
                name.chop(dir.size());
                name = name.trimmed();
            }
        }
        if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
            name = name.mid(1, name.size() - 2);
        const int c = fieldIndex(name);
        if (c >= 0)
            parts << Part{c, descending};
    }
    if (parts.isEmpty())
        return;
    // Keys are extracted once so that a large sort compares plain values.
    QList<QVector<SortKey>> keys(parts.size());
    for (int p = 0; p < parts.size(); ++p) {
        keys[p].resize(m_rows.size());
        for (int i = 0; i < m_rows.size(); ++i) {
            SortKey k = makeKey(m_rows.at(i).at(parts.at(p).column));
            if (k.kind == 2)
                k.text = foldedText(k.text);
            keys[p][i] = std::move(k);
        }
    }
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        for (int p = 0; p < parts.size(); ++p) {
            const int c = compareFoldedKeys(keys.at(p).at(a), keys.at(p).at(b));
            if (c != 0)
                return parts.at(p).descending ? c > 0 : c < 0;
        }
        return false;
    });
}

QString Query::updateTable() const
{
    if (!m_updateTable.isEmpty())
        return m_updateTable;
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+(\\[[^\\]]+\\]|[^\\s;]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(m_sql);
    QString t = m.hasMatch() ? m.captured(1) : QString();
    if (t.startsWith(QLatin1Char('[')))
        t = t.mid(1, t.size() - 2);
    return t;
}

QString Query::primaryKey(const QString &table) const
{
    QSqlQuery q(m_connection->database());
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        throw DbError(errorText(q.lastError()));
    while (q.next())
        if (q.value(5).toInt() == 1)
            return q.value(1).toString();
    throw DbError(QStringLiteral("Table '%1' has no key to post by.").arg(table));
}

void Query::Append()
{
    requireActive();
    m_pending = QVector<QVariant>(m_fields.size());
    m_changed = QVector<bool>(m_fields.size(), false);
    m_state = State::Insert;
}

void Query::Edit()
{
    requireActive();
    if (m_current < 0)
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    m_pending = m_rows.at(m_order.at(m_current));
    m_changed = QVector<bool>(m_fields.size(), false);
    m_state = State::Edit;
}

void Query::setValue(const QString &fieldName, const QVariant &value)
{
    if (m_state != State::Insert && m_state != State::Edit)
        throw DbError(QStringLiteral("Dataset not in edit or insert mode."));
    const int c = fieldIndex(fieldName);
    if (c < 0)
        throw DbError(QStringLiteral("Field '%1' not found.").arg(fieldName));
    QVariant v = value;
    // Values are kept in the field's own type so that reads after posting match a reload.
    if (v.isValid() && !v.isNull())
        v = fromStorage(m_fields.at(c).type, toStorage(m_fields.at(c).type, v));
    m_pending[c] = v;
    m_changed[c] = true;
}

void Query::Post()
{
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    if (m_memory) {
        if (m_state == State::Insert) {
            m_rows << m_pending;
            m_order << int(m_rows.size() - 1);
            m_state = State::Browse;
            setRow(int(m_order.size()) - 1);
            Q_EMIT reset();
        } else {
            m_rows[m_order.at(m_current)] = m_pending;
            m_state = State::Browse;
            Q_EMIT rowChanged(m_current);
        }
        return;
    }
    if (!m_connection || !m_connection->Connected())
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    const QString table = updateTable();
    if (table.isEmpty())
        throw DbError(QStringLiteral("The statement names no table to post to."));
    const QString key = primaryKey(table);
    const int keyColumn = fieldIndex(key);

    QSqlQuery q(m_connection->database());
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!m_changed.at(i) || i == keyColumn)
            continue;
        columns << QStringLiteral("\"%1\"").arg(m_fields.at(i).name);
        values << toStorage(m_fields.at(i).type, m_pending.at(i));
    }
    if (m_state == State::Insert) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("insert into \"%1\" default values").arg(table);
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("insert into \"%1\" (%2) values (%3)")
                      .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw DbError(errorText(q.lastError()));
        if (keyColumn >= 0 && m_pending.at(keyColumn).isNull())
            m_pending[keyColumn] = fromStorage(m_fields.at(keyColumn).type, q.lastInsertId());
        m_rows << m_pending;
        m_order << int(m_rows.size() - 1);
        m_state = State::Browse;
        Q_EMIT reset();
        m_current = -1;
        setRow(int(m_order.size()) - 1);
    } else {
        if (keyColumn < 0)
            throw DbError(QStringLiteral("The key field '%1' is not in the result.").arg(key));
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const QString &c : std::as_const(columns))
                sets << c + QStringLiteral("=?");
            q.prepare(QStringLiteral("update \"%1\" set %2 where \"%3\"=?")
                          .arg(table, sets.join(QLatin1Char(',')), key));
            for (const QVariant &v : values)
                q.addBindValue(v);
            q.addBindValue(toStorage(m_fields.at(keyColumn).type, m_rows.at(m_order.at(m_current)).at(keyColumn)));
            if (!q.exec())
                throw DbError(errorText(q.lastError()));
        }
        m_rows[m_order.at(m_current)] = m_pending;
        m_state = State::Browse;
        Q_EMIT rowChanged(m_current);
    }
    m_pending.clear();
}

void Query::Cancel()
{
    if (m_state == State::Insert || m_state == State::Edit)
        m_state = State::Browse;
    m_pending.clear();
}
