#include "ConnectionString.h"

#include "ProgramDir.h"

#include <QStringList>

QString BuildConnectionString(const QString &fileName)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=")
        + ProgramDir() + QStringLiteral("db/") + fileName + QStringLiteral(";")
        + QStringLiteral("Mode=ReadWrite;Jet OLEDB:Database Password=kpw794;");
}

QString RegistryConnectionString()
{
    return BuildConnectionString(QStringLiteral("Account.tqx"));
}

ConnectionStringParts ParseConnectionString(const QString &text)
{
    ConnectionStringParts parts;
    const auto pieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = piece.left(eq).trimmed();
        const QString value = piece.mid(eq + 1).trimmed();
        auto is = [&key](const char *name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
        if (is("Provider"))
            parts.provider = value;
        else if (is("User ID"))
            parts.userId = value;
        else if (is("Data Source"))
            parts.dataSource = value;
        else if (is("Mode"))
            parts.mode = value;
        else if (is("Jet OLEDB:Database Password"))
            parts.password = value;
    }
    return parts;
}
