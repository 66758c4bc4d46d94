#include "DatabaseBackupForm.h"

#include "AccountTestSupport.h"
#include "Connection.h"
#include "CurrentAccount.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestDatabaseBackupForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void browseNamesAndCopies_data();
    void browseNamesAndCopies();
    void browseThenCancelKeepsCopy();
    void okWithoutPath();
    void okAfterBrowse();
    void okMakesItsOwnCopy();
    void failedCopyIsReported_data();
    void failedCopyIsReported();
    void windowsStayBound();

private:
    QString bookPath() const { return m_dir->path() + u"db/Sample.tqx"_s; }
    void choose(const QString &path);

    std::unique_ptr<TempProgramDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_target;
    int m_chooserCalls = 0;
};

void TestDatabaseBackupForm::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    m_target = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && m_target->isValid());
    QVERIFY(OpenTestBook(u"Sample.tqx"_s, u"Sample"_s));
    m_chooserCalls = 0;
}

void TestDatabaseBackupForm::cleanup()
{
    TfrmDatabaseBackupForm::SetFileChooser({});
    ResetTermination();
    m_dir.reset();
    m_target.reset();
}

void TestDatabaseBackupForm::choose(const QString &path)
{
    TfrmDatabaseBackupForm::SetFileChooser([this, path](QWidget *) {
        ++m_chooserCalls;
        return path;
    });
}

void TestDatabaseBackupForm::browseNamesAndCopies_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("suffix added") << QString() << u"backup1"_s << u"backup1.tqx"_s;
    QTest::newRow("suffix kept") << QString() << u"backup1.tqx"_s << u"backup1.tqx"_s;
    QTest::newRow("suffix kept in capitals") << QString() << u"BACKUP1.TQX"_s << u"BACKUP1.TQX"_s;
    QTest::newRow("folder with dat in its name") << u"update"_s << u"backup1"_s << u"backup1.tqx"_s;
    QTest::newRow("other suffix") << QString() << u"backup1.dat"_s << u"backup1.dat.tqx"_s;
}

void TestDatabaseBackupForm::browseNamesAndCopies()
{
    QFETCH(QString, folder);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QDir dir(m_target->path());
    if (!folder.isEmpty()) {
        QVERIFY(dir.mkdir(folder));
        QVERIFY(dir.cd(folder));
    }
    choose(dir.filePath(chosen));
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    QCOMPARE(form.windowTitle(), u"File Backup"_s);
    QCOMPARE(TfrmDatabaseBackupForm::FileFilter(), u"Veldoro File (*.tqx);;All file(*.*) (*)"_s);
    form.btn1Click();
    QCOMPARE(Child<QLineEdit>(&form, "edtPath")->text(), dir.filePath(written));
    QCOMPARE(dir.entryList(QDir::Files), QStringList{written});
    QCOMPARE(FileBytes(dir.filePath(written)), FileBytes(bookPath()));
    QCOMPARE(messages.count(), 0);
}

void TestDatabaseBackupForm::browseThenCancelKeepsCopy()
{
    const QString target = m_target->filePath(u"keep.tqx"_s);
    choose(target);
    TfrmDatabaseBackupForm form;
    form.show();
    QTest::mouseDClick(Child<QLineEdit>(&form, "edtPath"), Qt::LeftButton);
    QCOMPARE(m_chooserCalls, 1);
    Child<QPushButton>(&form, "btnCancel")->click();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(FileBytes(target), FileBytes(bookPath()));
    QCOMPARE(form.CopiedTo(), target);

    // A cancelled file dialog changes nothing.
    choose(QString());
    TfrmDatabaseBackupForm second;
    second.btn1Click();
    QCOMPARE(Child<QLineEdit>(&second, "edtPath")->text(), QString());
    QCOMPARE(QDir(m_target->path()).entryList(QDir::Files), QStringList{u"keep.tqx"_s});
}

void TestDatabaseBackupForm::okWithoutPath()
{
    Tdm *session = dm;
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    form.btnOKClick();
    QCOMPARE(messages.texts(), QStringList{u"Please specify a file path!"_s});
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(dm, session);
    QVERIFY(dm->adc->Connected());
}

void TestDatabaseBackupForm::okAfterBrowse()
{
    const QString target = m_target->filePath(u"b.tqx"_s);
    choose(target);
    Tdm *session = dm;
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    form.btn1Click();
    form.btnOKClick();
    QCOMPARE(messages.texts(), QStringList{u"File backup successful!"_s});
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(FileBytes(target), FileBytes(bookPath()));
    QCOMPARE(dm, session);
    QVERIFY(dm->adc->Connected());
    QCOMPARE(CurrentAccountFile, u"Sample.tqx"_s);
    QCOMPARE(QFileInfo(dm->adc->databasePath()).canonicalFilePath(), QFileInfo(bookPath()).canonicalFilePath());
}

void TestDatabaseBackupForm::okMakesItsOwnCopy()
{
    const QString target = m_target->filePath(u"b.tqx"_s);
    choose(target);
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    form.btn1Click();
    QVERIFY(QFile::remove(target));
    form.btnOKClick();
    QCOMPARE(messages.texts(), QStringList{u"File backup successful!"_s});
    QCOMPARE(FileBytes(target), FileBytes(bookPath()));
}

void TestDatabaseBackupForm::failedCopyIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("reason");
    QTest::newRow("target exists") << u"old.tqx"_s << true << u"already exists"_s;
    QTest::newRow("folder missing") << u"gone/x.tqx"_s << false << u"does not exist"_s;
}

void TestDatabaseBackupForm::failedCopyIsReported()
{
    QFETCH(QString, name);
    QFETCH(bool, existing);
    QFETCH(QString, reason);
    const QString target = m_target->filePath(name);
    if (existing) {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    choose(target);
    Tdm *session = dm;
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    form.show();
    form.btn1Click();
    QCOMPARE(messages.count(), 1);
    form.btnOKClick();
    QCOMPARE(messages.count(), 2);
    for (const QString &text : messages.texts()) {
        QVERIFY2(text.contains(QDir::toNativeSeparators(target)), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
    }
    QVERIFY(!messages.texts().contains(u"File backup successful!"_s));
    QVERIFY(form.isVisible());
    QCOMPARE(form.CopiedTo(), QString());
    QCOMPARE(dm, session);
    QVERIFY(dm->adc->Connected());
    QVERIFY(!TerminationRequested());
    if (existing)
        QCOMPARE(FileBytes(target), QByteArrayLiteral("precious"));
    else
        QVERIFY(!QFileInfo::exists(target));
}

void TestDatabaseBackupForm::windowsStayBound()
{
    // A window's query opened before the backup keeps working after it.
    Query list(dm->adc);
    list.setSql(u"select * from xt_tc_Group"_s);
    list.Open();
    const int before = list.RecordCount();
    const QString target = m_target->filePath(u"b.tqx"_s);
    choose(target);
    MessageRecorder messages;
    TfrmDatabaseBackupForm form;
    form.btn1Click();
    form.btnOKClick();
    QCOMPARE(messages.texts(), QStringList{u"File backup successful!"_s});

    dm->adc->Execute(u"delete from xt_tc_Group"_s);
    list.Requery();
    QVERIFY(before > 0);
    QCOMPARE(list.RecordCount(), 0);
    QVERIFY2(FileBytes(target) != FileBytes(bookPath()), "the change went to the book, not to the backup");
}

QTEST_MAIN(TestDatabaseBackupForm)
#include "tst_DatabaseBackupForm.moc"
