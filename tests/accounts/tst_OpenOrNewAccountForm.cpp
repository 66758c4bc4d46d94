#include "OpenOrNewAccountForm.h"

#include "AccountRegistry.h"
#include "Connection.h"
#include "CurrentAccount.h"
#include "EnterAccountPwdForm.h"
#include "PasswordHash.h"
#include "ProgramDir.h"
#include "Query.h"
#include "AccountTestSupport.h"
#include "SetAccountPasswordForm.h"
#include "SqlText.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestOpenOrNewAccountForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void emptyRegistryAsksForBookFirst();
    void missingRegistry();
    void openWithoutPassword();
    void openWithPassword_data();
    void openWithPassword();
    void openDamagedBook();
    void createAndOpen();
    void createWithoutPassword_data();
    void createWithoutPassword();
    void createNeedsName();
    void createMismatchKeepsDialogOpen();
    void createExistingNameInAnyCase_data();
    void createExistingNameInAnyCase();
    void createCopyFails();
    void createInsertFailsRemovesCopy();
    void deleteBook_data();
    void deleteBook();
    void deleteOpenBookChangesNothing();
    void nameFilter_data();
    void nameFilter();

private:
    std::unique_ptr<TfrmOpenOrNewAccountForm> showGate();
    void selectByName(TfrmOpenOrNewAccountForm *form, const QString &name);
    void setPasswordAnswer(const QString &pwd, const QString &confirm);

    std::unique_ptr<TempProgramDir> m_dir;
    static QString s_hashPw9;
};

QString TestOpenOrNewAccountForm::s_hashPw9;

void TestOpenOrNewAccountForm::initTestCase()
{
    s_hashPw9 = HashPassword(u"Pw9"_s);
}

void TestOpenOrNewAccountForm::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    QVERIFY(m_dir->isValid());
    ClearCurrentAccount();
}

void TestOpenOrNewAccountForm::cleanup()
{
    TfrmOpenOrNewAccountForm::SetModalRunner({});
    ResetTermination();
    m_dir.reset();
}

std::unique_ptr<TfrmOpenOrNewAccountForm> TestOpenOrNewAccountForm::showGate()
{
    auto form = std::make_unique<TfrmOpenOrNewAccountForm>();
    form->show();
    return form;
}

void TestOpenOrNewAccountForm::selectByName(TfrmOpenOrNewAccountForm *gate, const QString &name)
{
    QTableWidget *grid = Child<QTableWidget>(gate, "grdData");
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 1)->text() == name) {
            grid->setCurrentCell(r, 1);
            return;
        }
    QFAIL(qPrintable(u"no row "_s + name));
}

// The set-password dialog gets these texts and OK.
void TestOpenOrNewAccountForm::setPasswordAnswer(const QString &pwd, const QString &confirm)
{
    TfrmOpenOrNewAccountForm::SetModalRunner([pwd, confirm](QDialog *dialog) {
        auto *d = qobject_cast<TfrmSetAccountPasswordForm *>(dialog);
        if (!d)
            return int(QDialog::Rejected);
        Child<QLineEdit>(d, "edtPwd")->setText(pwd);
        Child<QLineEdit>(d, "edtConfirm")->setText(confirm);
        d->btnOkClick();
        return d->result();
    });
}

void TestOpenOrNewAccountForm::emptyRegistryAsksForBookFirst()
{
    ExecRegistry(u"delete from xt_tc_Account"_s);
    MessageRecorder messages;
    auto form = showGate();
    QCOMPARE(Child<QTableWidget>(form.get(), "grdData")->rowCount(), 0);
    Child<QPushButton>(form.get(), "btnOk")->click();
    QCOMPARE(messages.texts(), QStringList{u"Create  Account First!"_s});
    QCOMPARE(messages.messages().first().caption, u"Message"_s);
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QVERIFY(!dm);
}

void TestOpenOrNewAccountForm::missingRegistry()
{
    QVERIFY(QFile::remove(m_dir->path() + u"db/Account.tqx"_s));
    MessageRecorder messages;
    auto form = showGate();
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.lastText().startsWith(u"Message:\r\r"_s), qPrintable(messages.lastText()));
    QVERIFY(messages.lastText().size() > 10);
    QCOMPARE(messages.messages().first().owner, nullptr);
    QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
    QVERIFY(!TerminationRequested());
    QVERIFY2(!QFileInfo::exists(m_dir->path() + u"db/Account.tqx"_s), "the registry is never created");

    messages.clear();
    Child<QPushButton>(form.get(), "btnOk")->click();
    QCOMPARE(messages.texts(), QStringList{u"Create  Account First!"_s});
    QVERIFY(!dm);
}

void TestOpenOrNewAccountForm::openWithoutPassword()
{
    int prompts = 0;
    TfrmOpenOrNewAccountForm::SetModalRunner([&prompts](QDialog *) {
        ++prompts;
        return int(QDialog::Rejected);
    });
    CurrentAccountPassword = u"stale"_s;
    MessageRecorder messages;
    auto form = showGate();
    QTableWidget *grid = Child<QTableWidget>(form.get(), "grdData");
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 1)->text(), u"Sample"_s);
    for (int c = 0; c < grid->columnCount(); ++c)
        QCOMPARE(grid->isColumnHidden(c), c != 1);

    form->grdDataDblClick();
    QCOMPARE(prompts, 0);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QVERIFY(dm && dm->adc->Connected());
    QCOMPARE(QFileInfo(dm->adc->databasePath()).canonicalFilePath(),
             QFileInfo(m_dir->path() + u"db/Sample.tqx"_s).canonicalFilePath());
    QCOMPARE(CurrentAccountID, RegistryRows().first().id);
    QCOMPARE(CurrentAccountName, u"Sample"_s);
    QCOMPARE(CurrentAccountFile, u"Sample.tqx"_s);
    QCOMPARE(CurrentAccountPath, ProgramDir() + u"db/Sample.tqx"_s);
    QVERIFY(QFileInfo(CurrentAccountPath).isFile());
    QCOMPARE(CurrentAccountPassword, QString());
}

void TestOpenOrNewAccountForm::openWithPassword_data()
{
    QTest::addColumn<QStringList>("attempts");
    QTest::addColumn<bool>("cancelAtEnd");
    QTest::addColumn<int>("refusals");
    QTest::newRow("right, with blanks around") << QStringList{u"  Pw9 "_s} << false << 0;
    QTest::newRow("wrong, then right") << QStringList{u"abc"_s, u"Pw9"_s} << false << 1;
    QTest::newRow("case differs, then cancel") << QStringList{u"pW9"_s} << true << 1;
    QTest::newRow("cancel at once") << QStringList{} << true << 0;
}

void TestOpenOrNewAccountForm::openWithPassword()
{
    QFETCH(QStringList, attempts);
    QFETCH(bool, cancelAtEnd);
    QFETCH(int, refusals);
    ExecRegistry(u"update xt_tc_Account set PWD="_s + Quote(s_hashPw9));

    MessageRecorder messages;
    QString expected;
    int shown = 0;
    QList<int> resultsBeforeLast;
    TfrmOpenOrNewAccountForm::SetModalRunner([&](QDialog *dialog) {
        auto *prompt = qobject_cast<TfrmEnterAccountPwdForm *>(dialog);
        if (!prompt)
            return int(QDialog::Rejected);
        ++shown;
        expected = prompt->ExpectedPassword;
        for (const QString &typed : std::as_const(attempts)) {
            Child<QLineEdit>(prompt, "edtPwd")->setText(typed);
            Child<QPushButton>(prompt, "btnOk")->click();
            resultsBeforeLast << prompt->result();
        }
        if (cancelAtEnd)
            Child<QPushButton>(prompt, "Button1")->click();
        return prompt->result();
    });
    CurrentAccountName = u"before"_s;
    CurrentAccountPassword = u"before"_s;

    auto form = showGate();
    form->btnOkClick();

    QCOMPARE(shown, 1);
    QCOMPARE(expected, s_hashPw9);
    QCOMPARE(messages.texts(), QStringList(refusals, u"Invalid Password!"_s));
    for (int i = 0; i < refusals; ++i)
        QCOMPARE(resultsBeforeLast.at(i), int(QDialog::Rejected));
    if (cancelAtEnd) {
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(form->isVisible());
        QVERIFY(!dm);
        QCOMPARE(CurrentAccountName, u"before"_s);
        QCOMPARE(CurrentAccountPassword, u"before"_s);
    } else {
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(dm && dm->adc->Connected());
        QCOMPARE(CurrentAccountName, u"Sample"_s);
        QCOMPARE(CurrentAccountPassword, u"Pw9"_s);
    }
}

void TestOpenOrNewAccountForm::openDamagedBook()
{
    {
        QFile f(m_dir->path() + u"db/Broken.tqx"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    ExecRegistry(InsertAccountSql(u"Broken"_s, u"today"_s, u".tqx"_s, QString()));
    CurrentAccountName = u"before"_s;
    MessageRecorder messages;
    auto form = showGate();
    selectByName(form.get(), u"Broken"_s);
    form->btnOkClick();

    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.lastText().startsWith(u"Error Message:\r\r"_s), qPrintable(messages.lastText()));
    QVERIFY(messages.lastText().size() > 16);
    QCOMPARE(messages.messages().first().owner, nullptr);
    QVERIFY(TerminationRequested());
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QCOMPARE(CurrentAccountName, u"before"_s);
    QCOMPARE(FileBytes(m_dir->path() + u"db/Broken.tqx"_s), QByteArray(4096, 'x'));
}

void TestOpenOrNewAccountForm::createAndOpen()
{
    MessageRecorder messages;
    auto form = showGate();
    QTest::keyClicks(Child<QLineEdit>(form.get(), "edtNew"), u"My book_2"_s);
    setPasswordAnswer(u"  Pw9 "_s, u"Pw9"_s);
    Child<QPushButton>(form.get(), "Button3")->click();

    QCOMPARE(messages.texts(), QStringList{u"Account Create Successfull!"_s});
    QCOMPARE(FileBytes(m_dir->path() + u"db/My book_2.tqx"_s), FileBytes(m_dir->path() + u"db/Blank.tqx"_s));
    const RegistryRow row = RegistryRows().last();
    QCOMPARE(row.name, u"My book_2"_s);
    QCOMPARE(row.lastName, u".tqx"_s);
    QVERIFY(row.pwd != u"Pw9"_s);
    QVERIFY(IsPasswordHash(row.pwd));
    QVERIFY(VerifyPassword(u"Pw9"_s, row.pwd));
    // Selected, not opened; the name stays in the field.
    QCOMPARE(Child<QTableWidget>(form.get(), "grdData")->rowCount(), 2);
    QCOMPARE(Child<QTableWidget>(form.get(), "grdData")->currentRow(), 1);
    QCOMPARE(form->aq_Data()->text(u"AccountName"_s), u"My book_2"_s);
    QVERIFY(!dm);
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QCOMPARE(Child<QLineEdit>(form.get(), "edtNew")->text(), u"My book_2"_s);

    TfrmOpenOrNewAccountForm::SetModalRunner([](QDialog *dialog) {
        auto *prompt = qobject_cast<TfrmEnterAccountPwdForm *>(dialog);
        if (!prompt)
            return int(QDialog::Rejected);
        Child<QLineEdit>(prompt, "edtPwd")->setText(u"Pw9"_s);
        prompt->btnOkClick();
        return prompt->result();
    });
    Child<QPushButton>(form.get(), "btnOk")->click();
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QCOMPARE(CurrentAccountName, u"My book_2"_s);
    QCOMPARE(CurrentAccountID, row.id);
    QCOMPARE(CurrentAccountFile, u"My book_2.tqx"_s);
    QVERIFY(dm && dm->adc->Connected());
}

void TestOpenOrNewAccountForm::createWithoutPassword_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("created");
    QTest::newRow("Yes") << QMessageBox::Yes << true;
    QTest::newRow("No keeps the dialog open") << QMessageBox::No << false;
}

void TestOpenOrNewAccountForm::createWithoutPassword()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, created);
    MessageRecorder messages;
    messages.answer(answer);
    auto form = showGate();
    Child<QLineEdit>(form.get(), "edtNew")->setText(u"Home"_s);
    setPasswordAnswer(QString(), QString());
    form->Button3Click();

    QStringList expected{u"Set of books does not set the password to confirm?"_s};
    if (created)
        expected << u"Account Create Successfull!"_s;
    QCOMPARE(messages.texts(), expected);
    QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(messages.messages().first().defaultButton, QMessageBox::No);
    QCOMPARE(QFileInfo::exists(m_dir->path() + u"db/Home.tqx"_s), created);
    QCOMPARE(RegistryNames().contains(u"Home"_s), created);
    if (!created)
        return;
    QCOMPARE(RegistryRows().last().pwd, QString());

    int prompts = 0;
    TfrmOpenOrNewAccountForm::SetModalRunner([&prompts](QDialog *) {
        ++prompts;
        return int(QDialog::Rejected);
    });
    form->btnOkClick();
    QCOMPARE(prompts, 0);
    QCOMPARE(CurrentAccountName, u"Home"_s);
}

void TestOpenOrNewAccountForm::createNeedsName()
{
    int dialogs = 0;
    TfrmOpenOrNewAccountForm::SetModalRunner([&dialogs](QDialog *) {
        ++dialogs;
        return int(QDialog::Rejected);
    });
    MessageRecorder messages;
    auto form = showGate();
    form->Button3Click();
    QCOMPARE(messages.texts(), QStringList{u"please Enter name!"_s});
    QCOMPARE(dialogs, 0);
    QCOMPARE(RegistryRows().size(), 1);
}

void TestOpenOrNewAccountForm::createMismatchKeepsDialogOpen()
{
    MessageRecorder messages;
    auto form = showGate();
    Child<QLineEdit>(form.get(), "edtNew")->setText(u"Home"_s);
    TfrmOpenOrNewAccountForm::SetModalRunner([](QDialog *dialog) {
        auto *d = qobject_cast<TfrmSetAccountPasswordForm *>(dialog);
        Child<QLineEdit>(d, "edtPwd")->setText(u"abc"_s);
        Child<QLineEdit>(d, "edtConfirm")->setText(u"abd"_s);
        d->btnOkClick();
        if (d->result() == QDialog::Accepted)
            return int(QDialog::Accepted);
        Child<QPushButton>(d, "Button1")->click();
        return d->result();
    });
    form->Button3Click();
    QCOMPARE(messages.texts(), QStringList{u"Password and Confirm Password inconsistent"_s});
    QVERIFY(!QFileInfo::exists(m_dir->path() + u"db/Home.tqx"_s));
    QCOMPARE(RegistryRows().size(), 1);
}

void TestOpenOrNewAccountForm::createExistingNameInAnyCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("same") << u"Sample"_s;
    QTest::newRow("other case") << u"sAMPLE"_s;
    QTest::newRow("the template") << u"BLANK"_s;
}

void TestOpenOrNewAccountForm::createExistingNameInAnyCase()
{
    QFETCH(QString, name);
    const QDir db(m_dir->path() + u"db"_s);
    const QStringList files = db.entryList(QDir::Files);
    MessageRecorder messages;
    auto form = showGate();
    Child<QLineEdit>(form.get(), "edtNew")->setText(name);
    setPasswordAnswer(u"x"_s, u"x"_s);
    form->Button3Click();
    QCOMPARE(messages.count(), 0);
    QCOMPARE(db.entryList(QDir::Files), files);
    QCOMPARE(RegistryNames(), QStringList{u"Sample"_s});
}

void TestOpenOrNewAccountForm::createCopyFails()
{
    // As root a read-only folder stays writable; a missing template fails the copy the same way.
    QVERIFY(QFile::remove(m_dir->path() + u"db/Blank.tqx"_s));
    MessageRecorder messages;
    auto form = showGate();
    Child<QLineEdit>(form.get(), "edtNew")->setText(u"Home"_s);
    setPasswordAnswer(u"x"_s, u"x"_s);
    form->Button3Click();
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.lastText().contains(QDir::toNativeSeparators(DbFolder())), qPrintable(messages.lastText()));
    QVERIFY(messages.lastText().contains(u"Blank.tqx"_s));
    QVERIFY(!QFileInfo::exists(m_dir->path() + u"db/Home.tqx"_s));
    QCOMPARE(RegistryNames(), QStringList{u"Sample"_s});
}

void TestOpenOrNewAccountForm::createInsertFailsRemovesCopy()
{
    ExecRegistry(u"create trigger refuse before insert on xt_tc_Account begin select raise(abort, 'registry is read-only'); end"_s);
    MessageRecorder messages;
    auto form = showGate();
    Child<QLineEdit>(form.get(), "edtNew")->setText(u"Home"_s);
    setPasswordAnswer(QString(), QString());
    messages.answer(QMessageBox::Yes);
    form->Button3Click();
    QCOMPARE(messages.count(), 2);
    QVERIFY2(messages.lastText().contains(u"registry is read-only"_s), qPrintable(messages.lastText()));
    QVERIFY(!messages.texts().contains(u"Account Create Successfull!"_s));
    QVERIFY2(!QFileInfo::exists(m_dir->path() + u"db/Home.tqx"_s), "no book file without its row");
    QCOMPARE(RegistryNames(), QStringList{u"Sample"_s});
}

void TestOpenOrNewAccountForm::deleteBook_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("No keeps the book") << QMessageBox::No << true << false;
    QTest::newRow("Yes removes file and row") << QMessageBox::Yes << true << true;
    QTest::newRow("Yes on a row without file removes the row") << QMessageBox::Yes << false << true;
}

void TestOpenOrNewAccountForm::deleteBook()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, fileThere);
    QFETCH(bool, deleted);
    QCOMPARE(CreateBookFile(u"Home"_s), BookFileResult::Done);
    ExecRegistry(InsertAccountSql(u"Home"_s, u"today"_s, u".tqx"_s, QString()));
    if (!fileThere)
        QVERIFY(QFile::remove(m_dir->path() + u"db/Home.tqx"_s));

    MessageRecorder messages;
    messages.answer(answer);
    auto form = showGate();
    selectByName(form.get(), u"Home"_s);
    Child<QPushButton>(form.get(), "Button1")->click();

    QCOMPARE(messages.texts(), QStringList{u"Are you sure you want to delete this Account?"_s});
    QCOMPARE(messages.messages().first().defaultButton, QMessageBox::No);
    QCOMPARE(RegistryNames().contains(u"Home"_s), !deleted);
    QCOMPARE(QFileInfo::exists(m_dir->path() + u"db/Home.tqx"_s), fileThere && !deleted);
    QCOMPARE(Child<QTableWidget>(form.get(), "grdData")->rowCount(), deleted ? 1 : 2);
    QVERIFY(QFileInfo::exists(m_dir->path() + u"db/Sample.tqx"_s));
}

void TestOpenOrNewAccountForm::deleteOpenBookChangesNothing()
{
    QVERIFY(OpenTestBook(u"Sample.tqx"_s, u"Sample"_s));
    const QByteArray before = FileBytes(m_dir->path() + u"db/Sample.tqx"_s);
    MessageRecorder messages;
    messages.answer(QMessageBox::Yes);
    auto form = showGate();
    selectByName(form.get(), u"Sample"_s);
    form->Button1Click();
    QCOMPARE(messages.texts(), QStringList{u"Are you sure you want to delete this Account?"_s});
    QCOMPARE(FileBytes(m_dir->path() + u"db/Sample.tqx"_s), before);
    QCOMPARE(RegistryNames(), QStringList{u"Sample"_s});
    QVERIFY(dm && dm->adc->Connected());
}

void TestOpenOrNewAccountForm::nameFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("hyphen") << u"a-b"_s << u"ab"_s;
    QTest::newRow("apostrophe") << u"Bob's"_s << u"Bobs"_s;
    QTest::newRow("letters outside A to Z") << u"Zürich"_s << u"Zrich"_s;
    QTest::newRow("allowed") << u"my Book_7"_s << u"my Book_7"_s;
}

void TestOpenOrNewAccountForm::nameFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    MessageRecorder messages;
    auto form = showGate();
    QLineEdit *edit = Child<QLineEdit>(form.get(), "edtNew");
    // Typed key by key; QTest::keyClicks takes only ASCII.
    for (const QChar c : typed) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
    QCOMPARE(edit->text(), kept);

    edit->clear();
    QGuiApplication::clipboard()->setText(typed);
    edit->paste();
    QCOMPARE(QGuiApplication::clipboard()->text(), typed);
    QCOMPARE(edit->text(), kept);
    edit->clear();
    edit->insert(u"x"_s + typed);
    QCOMPARE(edit->text(), u"x"_s + kept);
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestOpenOrNewAccountForm)
#include "tst_OpenOrNewAccountForm.moc"
