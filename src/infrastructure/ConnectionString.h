#pragma once

#include <QString>

// One connection-string format for the registry and for every account book.
// SQLite does not encrypt: the password part is kept for the format and not enforced.
QString BuildConnectionString(const QString &fileName);
QString RegistryConnectionString();

struct ConnectionStringParts
{
    QString provider;
    QString userId;
    QString dataSource;
    QString mode;
    QString password;
};

// Key names compare without regard to case; unknown keys are ignored.
ConnectionStringParts ParseConnectionString(const QString &text);
