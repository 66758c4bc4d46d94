#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>

// A named database connection opened from a connection string (the data layer's
// counterpart of an ADO connection). Failures throw DbError.
class Connection : public QObject
{
    Q_OBJECT
public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    void setConnectionString(const QString &text) { m_connectionString = text; }
    QString connectionString() const { return m_connectionString; }

    // Opens the file named by the connection string; never creates it.
    void Open();
    void Close();
    bool Connected() const;
    // Runs a statement that returns no rows; gives the number of rows changed.
    int Execute(const QString &sql);

    QSqlDatabase database() const;
    QString connectionName() const { return m_name; }
    QString databasePath() const;

Q_SIGNALS:
    void opened();
    void closed();

private:
    QString m_name;
    QString m_connectionString;
};

// Runs several statements as one unit: rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(Connection *connection);
    ~Transaction();
    void commit();

    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection *m_connection;
    bool m_done = false;
};
