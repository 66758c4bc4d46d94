#include "AccountTestSupport.h"
#include "CurrentAccount.h"
#include "EditpwdForm.h"
#include "EnterAccountPwdForm.h"
#include "PasswordHash.h"
#include "SetAccountPasswordForm.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestPasswordForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void setPassword_data();
    void setPassword();
    void prompt_data();
    void prompt();
    void promptEnterRunsOk();
    void fieldLimits();
    void changeShowsAccount();
    void changeRefused_data();
    void changeRefused();
    void changeTwiceThenRemove();
    void changeEnterInOldFieldRunsOk_data();
    void changeEnterInOldFieldRunsOk();
    void changeWithoutRegistry();

private:
    void fillChange(TfrmEditpwdForm *form, const QString &oldPwd, const QString &newPwd, const QString &confirm);
    QString storedPassword() const;

    std::unique_ptr<TempProgramDir> m_dir;
    QString m_hashPw9;
};

void TestPasswordForms::initTestCase()
{
    m_hashPw9 = HashPassword(u"Pw9"_s);
}

void TestPasswordForms::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    QVERIFY(m_dir->isValid());
    const RegistryRow sample = RegistryRows().first();
    CurrentAccountID = sample.id;
    CurrentAccountName = sample.name;
    CurrentAccountPassword.clear();
}

void TestPasswordForms::cleanup()
{
    m_dir.reset();
}

QString TestPasswordForms::storedPassword() const
{
    return RegistryRows().first().pwd;
}

void TestPasswordForms::fillChange(TfrmEditpwdForm *form, const QString &oldPwd, const QString &newPwd,
                                   const QString &confirm)
{
    Child<QLineEdit>(form, "edtOldPwd")->setText(oldPwd);
    Child<QLineEdit>(form, "edtNewpwd")->setText(newPwd);
    Child<QLineEdit>(form, "edtNewPwdRepeat")->setText(confirm);
}

void TestPasswordForms::setPassword_data()
{
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("message");
    const QString question = u"Set of books does not set the password to confirm?"_s;
    const QString mismatch = u"Password and Confirm Password inconsistent"_s;
    QTest::newRow("both empty, Yes") << QString() << QString() << QMessageBox::Yes << true << QString() << question;
    QTest::newRow("both empty, No") << QString() << QString() << QMessageBox::No << false << QString() << question;
    QTest::newRow("differ") << u"abc"_s << u"abd"_s << QMessageBox::Ok << false << QString() << mismatch;
    QTest::newRow("differ in case") << u"Abc"_s << u"abc"_s << QMessageBox::Ok << false << QString() << mismatch;
    QTest::newRow("confirm empty") << u"abc"_s << QString() << QMessageBox::Ok << false << QString() << mismatch;
    QTest::newRow("blanks do not count") << u" ab1  "_s << u"ab1"_s << QMessageBox::Ok << true << u"ab1"_s << QString();
}

void TestPasswordForms::setPassword()
{
    QFETCH(QString, pwd);
    QFETCH(QString, confirm);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, accepted);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    MessageRecorder messages;
    messages.answer(answer);
    TfrmSetAccountPasswordForm form;
    QCOMPARE(Child<QLabel>(&form, "Label3")->text(), u"Combination of characters or numbers, less than 6"_s);
    form.ChosenPassword = u"unset"_s;
    Child<QLineEdit>(&form, "edtPwd")->setText(pwd);
    Child<QLineEdit>(&form, "edtConfirm")->setText(confirm);
    Child<QPushButton>(&form, "btnOk")->click();
    QCOMPARE(form.result() == QDialog::Accepted, accepted);
    if (accepted)
        QCOMPARE(form.ChosenPassword, chosen);
    QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (message == u"Set of books does not set the password to confirm?"_s)
        QCOMPARE(messages.messages().first().defaultButton, QMessageBox::No);
}

void TestPasswordForms::prompt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << u"Pw9"_s << true;
    QTest::newRow("blanks around") << u"  Pw9 "_s << true;
    QTest::newRow("case differs") << u"PW9"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestPasswordForms::prompt()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    CurrentAccountPassword = u"before"_s;
    MessageRecorder messages;
    TfrmEnterAccountPwdForm form;
    form.ExpectedPassword = m_hashPw9;
    form.show();
    Child<QLineEdit>(&form, "edtPwd")->setText(typed);
    form.btnOkClick();
    QCOMPARE(form.result() == QDialog::Accepted, accepted);
    QCOMPARE(CurrentAccountPassword, accepted ? u"Pw9"_s : u"before"_s);
    QCOMPARE(messages.texts(), accepted ? QStringList() : QStringList{u"Invalid Password!"_s});
    if (!accepted) {
        QVERIFY(form.isVisible());
        QCOMPARE(Child<QLineEdit>(&form, "edtPwd")->selectedText(), typed);
    }
}

void TestPasswordForms::promptEnterRunsOk()
{
    MessageRecorder messages;
    TfrmEnterAccountPwdForm form;
    form.ExpectedPassword = m_hashPw9;
    form.show();
    QLineEdit *field = Child<QLineEdit>(&form, "edtPwd");
    QTest::keyClicks(field, u"Pw9"_s);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(CurrentAccountPassword, u"Pw9"_s);
}

void TestPasswordForms::fieldLimits()
{
    TfrmSetAccountPasswordForm set;
    TfrmEnterAccountPwdForm prompt;
    TfrmEditpwdForm change;
    const QList<std::pair<QLineEdit *, int>> fields{
        {Child<QLineEdit>(&set, "edtPwd"), 6},          {Child<QLineEdit>(&set, "edtConfirm"), 6},
        {Child<QLineEdit>(&prompt, "edtPwd"), 6},       {Child<QLineEdit>(&change, "edtNewpwd"), 6},
        {Child<QLineEdit>(&change, "edtNewPwdRepeat"), 6}, {Child<QLineEdit>(&change, "edtOldPwd"), 9}};
    for (const auto &[field, length] : fields) {
        QVERIFY(field);
        QTest::keyClicks(field, u"123456789"_s);
        QCOMPARE(field->text().size(), length);
        QCOMPARE(field->echoMode(), QLineEdit::Password);
    }
}

void TestPasswordForms::changeShowsAccount()
{
    TfrmEditpwdForm form;
    form.show();
    QCOMPARE(form.windowTitle(), u"Change password"_s);
    QCOMPARE(form.Label1()->text(), u"Introduction"_s);
    QCOMPARE(form.Label2()->text(), u"Change Account  password"_s);
    QCOMPARE(form.btnOk()->text(), u"OK"_s);
    QCOMPARE(form.btnCancel()->text(), u"Cancel"_s);
    QCOMPARE(Child<QLabel>(&form, "lblID")->text(), CurrentAccountID + u"[Sample]"_s);
    QVERIFY(form.Panel2()->isAncestorOf(Child<QLineEdit>(&form, "edtOldPwd")));
}

void TestPasswordForms::changeRefused_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("oldPwd");
    QTest::addColumn<QString>("newPwd");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    const QString oldInvalid = u"old password is invalid!"_s;
    const QString mismatch = u"New Password and Confirm Password inconsistent"_s;
    QTest::newRow("old wrong") << u"old1"_s << u"old2"_s << u"n"_s << u"n"_s << oldInvalid;
    QTest::newRow("old case differs") << u"old1"_s << u"OLD1"_s << u"n"_s << u"n"_s << oldInvalid;
    QTest::newRow("old given for a book without") << QString() << u"x"_s << u"n"_s << u"n"_s << oldInvalid;
    QTest::newRow("new differs") << u"old1"_s << u" old1 "_s << u"abc"_s << u"abd"_s << mismatch;
    QTest::newRow("new differs in blanks") << u"old1"_s << u"old1"_s << u"abc"_s << u"abc "_s << mismatch;
}

void TestPasswordForms::changeRefused()
{
    QFETCH(QString, current);
    QFETCH(QString, oldPwd);
    QFETCH(QString, newPwd);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    CurrentAccountPassword = current;
    const QString stored = storedPassword();
    MessageRecorder messages;
    TfrmEditpwdForm form;
    form.show();
    fillChange(&form, oldPwd, newPwd, confirm);
    form.btnOk()->click();
    QCOMPARE(messages.texts(), QStringList{message});
    QVERIFY(form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(CurrentAccountPassword, current);
    QCOMPARE(storedPassword(), stored);
}

void TestPasswordForms::changeTwiceThenRemove()
{
    MessageRecorder messages;
    {
        TfrmEditpwdForm form;
        form.show();
        fillChange(&form, QString(), u" nw1 "_s, u" nw1 "_s);
        form.btnOkClick();
        QCOMPARE(messages.texts(), QStringList{u"Password changed successfully!"_s});
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }
    QCOMPARE(CurrentAccountPassword, u"nw1"_s);
    const QString stored = storedPassword();
    QVERIFY(stored != u"nw1"_s);
    QVERIFY(IsPasswordHash(stored));
    QVERIFY(VerifyPassword(u"nw1"_s, stored));

    messages.clear();
    {
        TfrmEditpwdForm form;
        form.show();
        fillChange(&form, QString(), u"x"_s, u"x"_s);
        form.btnOkClick();
        QCOMPARE(messages.texts(), QStringList{u"old password is invalid!"_s});
        messages.clear();
        fillChange(&form, u"nw1"_s, QString(), QString());
        form.btnOkClick();
        QCOMPARE(messages.texts(), QStringList{u"Password changed successfully!"_s});
    }
    QCOMPARE(CurrentAccountPassword, QString());
    QCOMPARE(storedPassword(), QString());
}

void TestPasswordForms::changeEnterInOldFieldRunsOk_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("newPwd");
    QTest::addColumn<QString>("message");
    QTest::newRow("old missing") << u"old1"_s << u"n"_s << u"old password is invalid!"_s;
    QTest::newRow("confirmation missing") << QString() << u"n"_s << u"New Password and Confirm Password inconsistent"_s;
}

void TestPasswordForms::changeEnterInOldFieldRunsOk()
{
    QFETCH(QString, current);
    QFETCH(QString, newPwd);
    QFETCH(QString, message);
    CurrentAccountPassword = current;
    MessageRecorder messages;
    TfrmEditpwdForm form;
    form.show();
    fillChange(&form, QString(), newPwd, QString());
    QLineEdit *old = Child<QLineEdit>(&form, "edtOldPwd");
    old->setFocus();
    QTest::keyClick(old, Qt::Key_Return);
    QCOMPARE(messages.texts(), QStringList{message});
    QTest::keyClick(Child<QLineEdit>(&form, "edtNewpwd"), Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestPasswordForms::changeWithoutRegistry()
{
    QVERIFY(QFile::remove(m_dir->path() + u"db/Account.tqx"_s));
    CurrentAccountPassword = u"old1"_s;
    MessageRecorder messages;
    TfrmEditpwdForm form;
    form.show();
    fillChange(&form, u"old1"_s, u"n"_s, u"n"_s);
    form.btnOkClick();
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.lastText().startsWith(u"Message:\r\r"_s), qPrintable(messages.lastText()));
    QCOMPARE(messages.messages().first().owner, nullptr);
    QVERIFY(form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(CurrentAccountPassword, u"old1"_s);
    QVERIFY(!QFileInfo::exists(m_dir->path() + u"db/Account.tqx"_s));
}

QTEST_MAIN(TestPasswordForms)
#include "tst_PasswordForms.moc"
