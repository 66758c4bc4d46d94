#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

class Connection;

enum class FieldType { Unknown, Integer, Float, Money, Text, Boolean, Date, DateTime };

struct Field
{
    QString name;
    FieldType type = FieldType::Unknown;
    QString declaredType;

    bool isNumeric() const { return type == FieldType::Integer || type == FieldType::Float || type == FieldType::Money; }
};

// FieldType of a declared SQL column type ("INTEGER", "CURRENCY", "VARCHAR(50)", "DATE"...).
FieldType FieldTypeFromDeclared(const QString &declaredType);

// The one dataset class: SQL text opened through a Connection, rows held in
// memory with a current row, record number, locate, bookmarks and a
// client-side sort; one row can be appended or edited and posted to its table
// by key. A Query without a connection is an in-memory table (CreateDataSet).
// Values come typed: Integer as qlonglong, Float as double, Money as Money,
// Text as QString, Boolean as bool, Date as QDate, DateTime as QDateTime.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Bookmark = int;

    explicit Query(Connection *connection = nullptr, QObject *parent = nullptr);

    void setConnection(Connection *connection) { m_connection = connection; }
    Connection *connection() const { return m_connection; }
    void setSql(const QString &sql) { m_sql = sql; }
    QString sql() const { return m_sql; }

    void Open();
    void Close();
    // Runs the SQL text as a command; the query stays closed.
    void ExecSql();
    // Runs the SQL text again and keeps the sort; the current row goes to the first row.
    void Requery();
    bool Active() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // In-memory table with the given fields and no rows.
    void CreateDataSet(const QList<Field> &fields);
    // Appends a complete row to an in-memory table without posting it anywhere.
    void AppendRecord(const QVariantList &values);
    // Replaces all rows of an in-memory table at once.
    void SetRecords(QList<QVector<QVariant>> rows);

    const QList<Field> &fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int index) const { return m_fields.at(index); }
    // Case-insensitive, as the database treats column names; -1 when missing.
    int fieldIndex(const QString &name) const;

    int RecordCount() const { return int(m_order.size()); }
    bool IsEmpty() const { return m_order.isEmpty(); }
    // Current row in display (sorted) order, -1 when there are no rows.
    int row() const { return m_current; }
    int RecNo() const { return m_current + 1; }
    void setRow(int row);
    void First() { setRow(0); }
    void Last() { setRow(RecordCount() - 1); }
    void Next();
    void Prior();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    QVariant value(int row, int column) const;
    // The current row's value (the pending one while appending or editing).
    QVariant value(const QString &fieldName) const;
    QString text(const QString &fieldName) const { return value(fieldName).toString(); }
    // Changes a stored value of an in-memory table (no posting).
    void setStoredValue(int row, int column, const QVariant &value);

    bool Locate(const QString &fieldName, const QVariant &value, Qt::CaseSensitivity cs = Qt::CaseInsensitive);
    Bookmark GetBookmark() const;
    bool GotoBookmark(Bookmark bookmark);
    // Storage index of a display row; stable across sorts.
    int bookmarkOf(int row) const { return m_order.value(row, -1); }

    // Client-side sort: "field ASC,other DESC " as the grid builds it; empty restores load order.
    void setSort(const QString &sortText);
    QString sort() const { return m_sort; }

    // Posting: the table defaults to the one after "from" in the SQL text;
    // the key is the table's primary key.
    void setUpdateTable(const QString &table) { m_updateTable = table; }
    void Append();
    void Edit();
    void setValue(const QString &fieldName, const QVariant &value);
    void Post();
    void Cancel();

Q_SIGNALS:
    void reset();
    void currentRowChanged(int row);
    void rowChanged(int row);

private:
    void load();
    void applySort();
    QString updateTable() const;
    QString primaryKey(const QString &table) const;
    void requireActive() const;

    Connection *m_connection = nullptr;
    QString m_sql;
    QString m_sort;
    QString m_updateTable;
    State m_state = State::Inactive;
    bool m_memory = false;
    QList<Field> m_fields;
    QList<QVector<QVariant>> m_rows;
    QList<int> m_order;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    QVector<QVariant> m_pending;
    QVector<bool> m_changed;
};
