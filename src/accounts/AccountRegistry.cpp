#include "AccountRegistry.h"

#include "Connection.h"
#include "ConnectionString.h"
#include "ProgramDir.h"
#include "SqlText.h"
#include "Tdm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString ListAccountsSql()
{
    return QStringLiteral("select * from xt_tc_Account");
}

QString InsertAccountSql(const QString &name, const QString &createDate, const QString &lastName,
                         const QString &password)
{
    return QStringLiteral("insert into xt_tc_Account(AccountName ,CreateDate,lastName,pwd) values (") + Quote(name)
        + QLatin1Char(',') + Quote(createDate) + QLatin1Char(',') + Quote(lastName) + QLatin1Char(',')
        + Quote(password) + QLatin1Char(')');
}

QString DeleteAccountSql(const QString &accountId)
{
    return QStringLiteral("delete from xt_tc_Account where AccountID=") + accountId;
}

QString UpdatePasswordSql(const QString &password, const QString &accountId)
{
    return QStringLiteral("update xt_tc_Account set pwd=") + Quote(password) + QStringLiteral(" where AccountID=")
        + accountId;
}

QString BookSuffix()
{
    return QStringLiteral(".tqx");
}

QString DbFolder()
{
    return ProgramDir() + QStringLiteral("db/");
}

QString FindDbFile(const QString &fileName)
{
    const QString folder = DbFolder();
    if (QFileInfo::exists(folder + fileName))
        return folder + fileName;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + entry;
    return folder + fileName;
}

void OpenRegistry(Connection *connection)
{
    connection->Close();
    connection->setConnectionString(RegistryConnectionString());
    connection->Open();
}

bool IsAccountNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'_' || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString FilterAccountName(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (IsAccountNameChar(c))
            kept += c;
    return kept;
}

bool IsValidAccountName(const QString &name)
{
    return !name.isEmpty() && FilterAccountName(name) == name;
}

bool CopyBookFile(const QString &source, const QString &target, QString *reason)
{
    auto fail = [reason](const QString &text) {
        if (reason)
            *reason = text;
        return false;
    };
    const QFileInfo from(source);
    if (!from.isFile())
        return fail(QStringLiteral("the file \"%1\" does not exist").arg(QDir::toNativeSeparators(source)));
    const QFileInfo to(target);
    if (to.exists() || to.isSymLink())
        return fail(QStringLiteral("a file named \"%1\" already exists").arg(to.fileName()));
    const QFileInfo folder(to.absolutePath());
    if (!folder.isDir())
        return fail(QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isWritable())
        return fail(QStringLiteral("the folder \"%1\" is not writable").arg(QDir::toNativeSeparators(folder.filePath())));
    // QFile::copy writes a temporary file beside the target and renames it without
    // replacing anything, so a failed copy leaves nothing behind.
    QFile file(source);
    if (!file.copy(target))
        return fail(file.errorString());
    return true;
}

BookFileResult CreateBookFile(const QString &name, QString *message)
{
    const QString fileName = name + BookSuffix();
    auto fail = [&](const QString &reason) {
        if (message)
            *message = QStringLiteral("The account file \"%1\" could not be created in the folder \"%2\":\r\r%3")
                           .arg(fileName, QDir::toNativeSeparators(DbFolder()), reason);
        return BookFileResult::Failed;
    };
    if (!IsValidAccountName(name))
        return fail(QStringLiteral("the name may hold only letters, digits, blanks and underscores"));
    const QString target = FindDbFile(fileName);
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return BookFileResult::NameUsed;
    QString reason;
    if (!CopyBookFile(FindDbFile(QStringLiteral("Blank.tqx")), target, &reason)) {
        if (QFileInfo::exists(FindDbFile(fileName)))
            return BookFileResult::NameUsed;
        return fail(reason);
    }
    return BookFileResult::Done;
}

bool BookFileInUse(const QString &path)
{
    if (!dm || !dm->adc || !dm->adc->Connected())
        return false;
    const QString open = QFileInfo(dm->adc->databasePath()).canonicalFilePath();
    return !open.isEmpty() && open == QFileInfo(path).canonicalFilePath();
}

BookFileResult DeleteBookFile(const QString &name, QString *message)
{
    const QString fileName = name + BookSuffix();
    if (fileName.compare(QLatin1String("Account.tqx"), Qt::CaseInsensitive) == 0
        || fileName.compare(QLatin1String("Blank.tqx"), Qt::CaseInsensitive) == 0)
        return BookFileResult::InUse;
    const QString path = FindDbFile(fileName);
    if (!QFileInfo(path).isFile())
        return QFileInfo::exists(path) ? BookFileResult::InUse : BookFileResult::Missing;
    // Windows refuses to delete an open file; keep that rule everywhere.
    if (BookFileInUse(path))
        return BookFileResult::InUse;
    QFile file(path);
    if (!file.remove()) {
        if (message)
            *message = QStringLiteral("The account file \"%1\" could not be deleted:\r\r%2")
                           .arg(QDir::toNativeSeparators(path), file.errorString());
        return BookFileResult::Failed;
    }
    return BookFileResult::Done;
}
