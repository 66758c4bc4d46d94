#pragma once

#include <QString>

class Connection;

// Statements on the registry table xt_tc_Account.
QString ListAccountsSql();
QString InsertAccountSql(const QString &name, const QString &createDate, const QString &lastName,
                         const QString &password);
QString DeleteAccountSql(const QString &accountId);
QString UpdatePasswordSql(const QString &password, const QString &accountId);

// The suffix of every book file the program creates.
QString BookSuffix();
// The db folder beside the program, with a trailing '/'.
QString DbFolder();
// The path of a file in the db folder as it is spelled on disk: an entry whose
// name differs only in letter case is the same file, as on Windows. The exact
// spelling when there is none.
QString FindDbFile(const QString &fileName);

// Closes the connection and opens it on the registry; throws DbError.
void OpenRegistry(Connection *connection);

// Names of new books hold blanks, digits, letters A to Z and a to z and underscores.
bool IsAccountNameChar(QChar c);
QString FilterAccountName(const QString &text);
bool IsValidAccountName(const QString &name);

enum class BookFileResult { Done, NameUsed, Missing, InUse, Failed };

// Copies the blank book to db/<name>.tqx. A name whose file exists in any letter
// case gives NameUsed and nothing is copied; an existing file is never overwritten.
// Failed comes with a message naming the file, the folder and the reason.
BookFileResult CreateBookFile(const QString &name, QString *message = nullptr);
// Removes db/<name>.tqx. The file the session holds open, the registry and the
// template are InUse and stay; no such file gives Missing.
BookFileResult DeleteBookFile(const QString &name, QString *message = nullptr);
// True when the session has this file open.
bool BookFileInUse(const QString &path);

// Copies a file and never overwrites: the copy is written under a temporary name
// in the target folder and renamed. On failure gives the reason and leaves no file.
bool CopyBookFile(const QString &source, const QString &target, QString *reason);
