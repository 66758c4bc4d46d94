#pragma once

#include "AccountRegistry.h"
#include "Connection.h"
#include "Query.h"

#include <QFile>
#include <QObject>
#include <QList>
#include <QString>

// Test helpers of the account dialogs.

// Reads and changes the registry of the temporary program directory behind the
// dialogs' backs, through a connection of its own.
struct RegistryRow
{
    QString id;
    QString name;
    QString lastName;
    QString pwd;
};

inline QList<RegistryRow> RegistryRows()
{
    Connection connection;
    OpenRegistry(&connection);
    Query q(&connection);
    q.setSql(QStringLiteral("select AccountID, AccountName, LastName, PWD from xt_tc_Account order by AccountID"));
    q.Open();
    QList<RegistryRow> rows;
    for (int r = 0; r < q.RecordCount(); ++r)
        rows << RegistryRow{q.value(r, 0).toString(), q.value(r, 1).toString(), q.value(r, 2).toString(),
                            q.value(r, 3).toString()};
    return rows;
}

inline QStringList RegistryNames()
{
    QStringList names;
    for (const RegistryRow &row : RegistryRows())
        names << row.name;
    return names;
}

inline void ExecRegistry(const QString &sql)
{
    Connection connection;
    OpenRegistry(&connection);
    connection.Execute(sql);
}

inline QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A component of a window by its name; null when the window has none of that kind.
template <class T>
T *Child(const QObject *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}
