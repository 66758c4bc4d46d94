#include "Connection.h"

#include "ConnectionString.h"
#include "DbError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tellmont-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}
}

Connection::Connection(QObject *parent)
    : QObject(parent), m_name(nextConnectionName())
{
}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QString Connection::databasePath() const
{
    return ParseConnectionString(m_connectionString).dataSource;
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Connection::Connected() const
{
    const QSqlDatabase db = database();
    return db.isValid() && db.isOpen();
}

void Connection::Open()
{
    if (Connected())
        return;
    const QString path = databasePath();
    if (path.isEmpty())
        throw DbError(QStringLiteral("No database file is named in the connection string."));
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));

    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                      : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!db.isValid())
        throw DbError(QStringLiteral("The SQLite driver is not available."));
    // mode=rw: open an existing file only, never create a new database.
    db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)
                       + QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, errorText(db.lastError())));
    // SQLite reads the file lazily: touch the schema so that a damaged or
    // foreign file fails here and not at the first list.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master"))) {
        const QString text = errorText(probe.lastError());
        probe.finish();
        db.close();
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, text));
    }
    probe.finish();
    Q_EMIT opened();
}

void Connection::Close()
{
    QSqlDatabase db = database();
    if (db.isValid() && db.isOpen()) {
        db.close();
        Q_EMIT closed();
    }
}

int Connection::Execute(const QString &sql)
{
    if (!Connected())
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    QSqlQuery q(database());
    if (!q.exec(sql))
        throw DbError(errorText(q.lastError()));
    return q.numRowsAffected();
}

Transaction::Transaction(Connection *connection)
    : m_connection(connection)
{
    QSqlDatabase db = m_connection->database();
    if (!db.transaction())
        throw DbError(errorText(db.lastError()));
}

Transaction::~Transaction()
{
    if (!m_done)
        m_connection->database().rollback();
}

void Transaction::commit()
{
    QSqlDatabase db = m_connection->database();
    if (!db.commit())
        throw DbError(errorText(db.lastError()));
    m_done = true;
}
