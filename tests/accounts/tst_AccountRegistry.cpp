#include "AccountRegistry.h"
#include "PasswordHash.h"
#include "ProgramDir.h"
#include "AccountTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestAccountRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statements_data();
    void statements();
    void nameFilter_data();
    void nameFilter();
    void passwordHash();
    void verifyPassword_data();
    void verifyPassword();
    void createBookFile();
    void createCollidesInAnyCase_data();
    void createCollidesInAnyCase();
    void createFailsWithReason_data();
    void createFailsWithReason();
    void createInReadOnlyFolder();
    void deleteBookFile();
    void copyNeverOverwrites();
};

void TestAccountRegistry::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("list") << ListAccountsSql() << u"select * from xt_tc_Account"_s;
    QTest::newRow("insert")
        << InsertAccountSql(u"Home"_s, u"5/1/26 9:30 AM"_s, u".tqx"_s, u"pbkdf2"_s)
        << u"insert into xt_tc_Account(AccountName ,CreateDate,lastName,pwd) values ('Home','5/1/26 9:30 AM','.tqx','pbkdf2')"_s;
    QTest::newRow("insert quotes doubled")
        << InsertAccountSql(u"O'Brien"_s, u"d'"_s, u".tqx"_s, QString())
        << u"insert into xt_tc_Account(AccountName ,CreateDate,lastName,pwd) values ('O''Brien','d''','.tqx','')"_s;
    QTest::newRow("delete") << DeleteAccountSql(u"12"_s) << u"delete from xt_tc_Account where AccountID=12"_s;
    QTest::newRow("update") << UpdatePasswordSql(u"a'b"_s, u"3"_s)
                            << u"update xt_tc_Account set pwd='a''b' where AccountID=3"_s;
}

void TestAccountRegistry::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void TestAccountRegistry::nameFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("hyphen") << u"a-b"_s << u"ab"_s;
    QTest::newRow("blanks, digits, underscore") << u"my book_2"_s << u"my book_2"_s;
    QTest::newRow("apostrophe and dot") << u"Bob's.x"_s << u"Bobsx"_s;
    QTest::newRow("letters outside A to Z") << u"Züri 北京"_s << u"Zri "_s;
    QTest::newRow("path separators") << u"../x\\y"_s << u"xy"_s;
}

void TestAccountRegistry::nameFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(FilterAccountName(typed), kept);
    QCOMPARE(IsValidAccountName(typed), typed == kept);
}

void TestAccountRegistry::passwordHash()
{
    const QString a = HashPassword(u"Pw9"_s);
    const QString b = HashPassword(u"Pw9"_s);
    QVERIFY(a != u"Pw9"_s);
    QVERIFY(!a.contains(u"Pw9"_s));
    QVERIFY(a.startsWith(u"pbkdf2-sha256$%1$"_s.arg(PasswordHashIterations())));
    QVERIFY(IsPasswordHash(a));
    QVERIFY2(a != b, "every hash gets its own salt");
    QVERIFY(VerifyPassword(u"Pw9"_s, a));
    QVERIFY(VerifyPassword(u"Pw9"_s, b));
    QVERIFY(HashPassword(QString()).isEmpty());
}

void TestAccountRegistry::verifyPassword_data()
{
    // A fixed salt and a small count keep the table fast; the count is read from the store.
    const QString stored = HashPassword(u"Pw9"_s, QByteArrayLiteral("0123456789abcdef"), 1000);
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("matches");
    QTest::newRow("right") << u"Pw9"_s << stored << true;
    QTest::newRow("case differs") << u"pW9"_s << stored << false;
    QTest::newRow("longer") << u"Pw9x"_s << stored << false;
    QTest::newRow("empty against a hash") << QString() << stored << false;
    QTest::newRow("no password") << QString() << QString() << true;
    QTest::newRow("text against no password") << u"x"_s << QString() << false;
    QTest::newRow("other iteration count")
        << u"Pw9"_s << HashPassword(u"Pw9"_s, QByteArrayLiteral("salt"), 1200) << true;
    QTest::newRow("iteration count changed") << u"Pw9"_s << QString(stored).replace(u"$1000$"_s, u"$1001$"_s) << false;
    QTest::newRow("row written by hand") << u"abc"_s << u"abc"_s << true;
    QTest::newRow("row written by hand, case") << u"ABC"_s << u"abc"_s << false;
}

void TestAccountRegistry::verifyPassword()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, matches);
    QCOMPARE(VerifyPassword(typed, stored), matches);
}

void TestAccountRegistry::createBookFile()
{
    TempProgramDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QCOMPARE(CreateBookFile(u"my book"_s, &message), BookFileResult::Done);
    QVERIFY(message.isEmpty());
    QCOMPARE(FileBytes(dir.path() + u"db/my book.tqx"_s), FileBytes(dir.path() + u"db/Blank.tqx"_s));
}

void TestAccountRegistry::createCollidesInAnyCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("same case") << u"Sample"_s;
    QTest::newRow("lower case") << u"sample"_s;
    QTest::newRow("upper case") << u"SAMPLE"_s;
    QTest::newRow("the template") << u"blank"_s;
    QTest::newRow("the registry") << u"ACCOUNT"_s;
}

void TestAccountRegistry::createCollidesInAnyCase()
{
    QFETCH(QString, name);
    TempProgramDir dir;
    const QDir db(dir.path() + u"db"_s);
    const QStringList before = db.entryList(QDir::Files);
    const QByteArray sample = FileBytes(db.filePath(u"Sample.tqx"_s));
    QString message;
    QCOMPARE(CreateBookFile(name, &message), BookFileResult::NameUsed);
    QVERIFY(message.isEmpty());
    QCOMPARE(db.entryList(QDir::Files), before);
    QCOMPARE(FileBytes(db.filePath(u"Sample.tqx"_s)), sample);
}

void TestAccountRegistry::createFailsWithReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removeTemplate");
    QTest::addColumn<QString>("reason");
    QTest::newRow("template missing") << u"Home"_s << true << u"Blank.tqx"_s;
    QTest::newRow("name with a path") << u"../Home"_s << false << u"letters, digits"_s;
}

void TestAccountRegistry::createFailsWithReason()
{
    QFETCH(QString, name);
    QFETCH(bool, removeTemplate);
    QFETCH(QString, reason);
    TempProgramDir dir;
    if (removeTemplate)
        QVERIFY(QFile::remove(dir.path() + u"db/Blank.tqx"_s));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList beforeDb = QDir(dir.path() + u"db"_s).entryList(QDir::Files);
    QString message;
    QCOMPARE(CreateBookFile(name, &message), BookFileResult::Failed);
    QVERIFY2(message.contains(QDir::toNativeSeparators(DbFolder())), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(QDir(dir.path() + u"db"_s).entryList(QDir::Files), beforeDb);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestAccountRegistry::createInReadOnlyFolder()
{
    TempProgramDir dir;
    const QString db = dir.path() + u"db"_s;
    QFile::setPermissions(db, QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFileInfo(db).isWritable();
    if (writable) {
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("the folder stays writable (running as root)");
    }
    QString message;
    const BookFileResult result = CreateBookFile(u"Home"_s, &message);
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result, BookFileResult::Failed);
    QVERIFY2(message.contains(u"not writable"_s), qPrintable(message));
    QVERIFY(!QFileInfo::exists(db + u"/Home.tqx"_s));
}

void TestAccountRegistry::deleteBookFile()
{
    TempProgramDir dir;
    QCOMPARE(CreateBookFile(u"Home"_s), BookFileResult::Done);
    QCOMPARE(DeleteBookFile(u"home"_s), BookFileResult::Done);
    QVERIFY(!QFileInfo::exists(dir.path() + u"db/Home.tqx"_s));
    QCOMPARE(DeleteBookFile(u"Home"_s), BookFileResult::Missing);
    QCOMPARE(DeleteBookFile(u"account"_s), BookFileResult::InUse);
    QCOMPARE(DeleteBookFile(u"Blank"_s), BookFileResult::InUse);
    QVERIFY(QFileInfo::exists(dir.path() + u"db/Account.tqx"_s));
    QVERIFY(QFileInfo::exists(dir.path() + u"db/Blank.tqx"_s));

    QVERIFY(OpenTestBook(u"Sample.tqx"_s, u"Sample"_s));
    QCOMPARE(DeleteBookFile(u"Sample"_s), BookFileResult::InUse);
    QVERIFY(QFileInfo::exists(dir.path() + u"db/Sample.tqx"_s));
}

void TestAccountRegistry::copyNeverOverwrites()
{
    TempProgramDir dir;
    QTemporaryDir target;
    const QString existing = target.filePath(u"kept.tqx"_s);
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    QString reason;
    QVERIFY(!CopyBookFile(dir.path() + u"db/Sample.tqx"_s, existing, &reason));
    QVERIFY2(reason.contains(u"already exists"_s), qPrintable(reason));
    QCOMPARE(FileBytes(existing), QByteArrayLiteral("precious"));
    QVERIFY(!CopyBookFile(dir.path() + u"db/Sample.tqx"_s, target.filePath(u"no/such/folder/x.tqx"_s), &reason));
    QVERIFY2(reason.contains(u"does not exist"_s), qPrintable(reason));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{u"kept.tqx"_s});
}

QTEST_GUILESS_MAIN(TestAccountRegistry)
#include "tst_AccountRegistry.moc"
