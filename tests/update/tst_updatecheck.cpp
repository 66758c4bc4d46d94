#include "ExeUpdateForm.h"
#include "IniFile.h"
#include "ProgramDir.h"
#include "TestSupport.h"
#include "UpdateCheck.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers every request on 127.0.0.1 with one canned response, or never.
class CannedHttpServer : public QObject
{
public:
    CannedHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &CannedHttpServer::accept);
        m_server.listen(QHostAddress::LocalHost);
    }

    QString address() const { return u"127.0.0.1:"_s + QString::number(m_server.serverPort()); }
    void respond(int status, const QByteArray &body)
    {
        m_status = status;
        m_body = body;
    }
    void stayQuiet() { m_quiet = true; }

    QStringList requests; // request lines, "GET /path HTTP/1.1"
    std::function<void()> onRequest;

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        requests << QString::fromLatin1(buffer.left(buffer.indexOf("\r\n")));
        buffer.clear();
        if (onRequest)
            onRequest();
        if (m_quiet)
            return;
        const QByteArray reason = m_status == 200 ? "OK" : "Not Found";
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason + "\r\n"
                      "Content-Type: text/plain\r\n"
                      "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n"
                      "Connection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    int m_status = 200;
    QByteArray m_body;
    bool m_quiet = false;
};

QByteArray infoFile(const QByteArray &version, const QByteArray &section = "Tellmont")
{
    return "[" + section + "]\r\nProductName=Tellmont\r\nVersion=" + version + "\r\n";
}

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &data)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QString appIni()
{
    return ProgramDir() + u"ini/app.ini"_s;
}

void saveAddress(const QString &address)
{
    QVERIFY(IniFile(appIni()).WriteString(u"AppName"_s, u"UpdateIP"_s, address));
}

// A port that was just free and that nobody listens on now.
QString refusingAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return u"127.0.0.1:"_s + QString::number(port);
}

}

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void splitText_data();
    void splitText();
    void normaliseVersionText_data();
    void normaliseVersionText();
    void programVersionIsFourNumbers();
    void versionOrder_data();
    void versionOrder();

    void check_data();
    void check();
    void noAnswerWithoutServer_data();
    void noAnswerWithoutServer();
    void silentServerTimesOut();
    void cancelStopsWaiting();

    void showReadsSavedAddress();
    void saveSettingWritesAddress();
    void saveSettingReportsFailure();
    void updateStartsUpdaterAndEnds();
    void updaterThatCannotStartKeepsTellmont();
    void updateWithoutNewerVersionStaysOpen();
    void updateUsesSavedNotEditedAddress();
    void cancelDuringCheckClosesQuietly();

private:
    std::unique_ptr<TempProgramDir> m_dir;
    QStringList m_started;
    QList<int> m_exits;
};

void TestUpdateCheck::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    QVERIFY(m_dir->isValid());
    SetLocalVersionText(u"1.1.0.0"_s);
    SetUpdateTimeout(15000);
    m_started.clear();
    m_exits.clear();
    TfrmExeUpdateForm::SetStartProgramHook([this](const QString &program) {
        m_started << program;
        return true;
    });
    TfrmExeUpdateForm::SetExitHook([this](int code) { m_exits << code; });
}

void TestUpdateCheck::cleanup()
{
    TfrmExeUpdateForm::SetStartProgramHook({});
    TfrmExeUpdateForm::SetExitHook({});
    SetLocalVersionText(QString());
    SetUpdateTimeout(15000);
    m_dir.reset();
}

void TestUpdateCheck::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("version") << u"1.1.0.0"_s << u"."_s << QStringList{u"1"_s, u"1"_s, u"0"_s, u"0"_s};
    QTest::newRow("doubled separator dropped") << u"1..2"_s << u"."_s << QStringList{u"1"_s, u"2"_s};
    QTest::newRow("leading and trailing") << u".a.b."_s << u"."_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("only separators") << u"..."_s << u"."_s << QStringList{};
    QTest::newRow("empty") << QString() << u"."_s << QStringList{};
    QTest::newRow("no separator in text") << u"abc"_s << u"."_s << QStringList{u"abc"_s};
    QTest::newRow("longer separator") << u"a, b, , c"_s << u", "_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
}

void TestUpdateCheck::splitText()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, pieces);

    QStringList list{u"left over"_s};
    SplitText(text, separator, list);
    QCOMPARE(list, pieces);
}

void TestUpdateCheck::normaliseVersionText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");

    QTest::newRow("four parts") << u"1.1.0.0"_s << u"1.1.0.0"_s;
    QTest::newRow("fifth part dropped") << u"1.0.0.0.5"_s << u"1.0.0.0"_s;
    QTest::newRow("short padded") << u"1.2"_s << u"1.2.0.0"_s;
    QTest::newRow("doubled dot") << u"1..2.3.4"_s << u"1.2.3.4"_s;
    QTest::newRow("none") << QString() << QString();
}

void TestUpdateCheck::normaliseVersionText()
{
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    QCOMPARE(NormaliseVersionText(text), normalised);
}

void TestUpdateCheck::programVersionIsFourNumbers()
{
    SetLocalVersionText(QString());
    const QString version = LocalVersionText();
    QVERIFY2(ParseVersionText(version).has_value(), qPrintable(version));
    QCOMPARE(version, GetFileVersionText(QCoreApplication::applicationFilePath()));
}

void TestUpdateCheck::versionOrder_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("newer");

    QTest::newRow("last part") << u"1.1.0.1"_s << u"1.1.0.0"_s << true;
    QTest::newRow("equal") << u"1.1.0.0"_s << u"1.1.0.0"_s << false;
    QTest::newRow("older") << u"1.0.9.9"_s << u"1.1.0.0"_s << false;
    QTest::newRow("10 after 9") << u"1.1.0.10"_s << u"1.1.0.9"_s << true;
    QTest::newRow("9 before 10") << u"1.1.0.9"_s << u"1.1.0.10"_s << false;
    QTest::newRow("1.2 before 1.10") << u"1.2.0.0"_s << u"1.10.0.0"_s << false;
    QTest::newRow("1.10 after 1.2") << u"1.10.0.0"_s << u"1.2.0.0"_s << true;
    QTest::newRow("first part decides") << u"2.0.0.0"_s << u"1.9.99.99"_s << true;
    QTest::newRow("leading zero") << u"01.1.0.0"_s << u"1.1.0.0"_s << false;
    QTest::newRow("surrounding blanks") << u" 1.2.0.0 "_s << u"1.1.0.0"_s << true;
    QTest::newRow("short") << u"2.0"_s << u"1.0.0.0"_s << false;
    QTest::newRow("five parts") << u"9.0.0.0.5"_s << u"1.0.0.0"_s << false;
    QTest::newRow("letters") << u"abc"_s << u"1.0.0.0"_s << false;
    QTest::newRow("letter in part") << u"2.0.0.0b"_s << u"1.0.0.0"_s << false;
    QTest::newRow("sign") << u"+2.0.0.0"_s << u"1.0.0.0"_s << false;
    QTest::newRow("blank inside") << u"2.0. 0.0"_s << u"1.0.0.0"_s << false;
    QTest::newRow("empty part") << u"2..0.0"_s << u"1.0.0.0"_s << false;
    QTest::newRow("empty server") << QString() << u"1.0.0.0"_s << false;
    QTest::newRow("overflowing part") << u"99999999999999999999.0.0.0"_s << u"1.0.0.0"_s << false;
    QTest::newRow("no local version") << u"0.0.0.1"_s << QString() << true;
}

void TestUpdateCheck::versionOrder()
{
    QFETCH(QString, server);
    QFETCH(QString, local);
    QFETCH(bool, newer);
    QCOMPARE(IsNewerVersion(server, local), newer);
}

void TestUpdateCheck::check_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("newer");

    QTest::newRow("newer") << u"1.1.0.0"_s << 200 << infoFile("1.1.0.1") << true;
    QTest::newRow("equal") << u"1.1.0.0"_s << 200 << infoFile("1.1.0.0") << false;
    QTest::newRow("older") << u"1.1.0.0"_s << 200 << infoFile("1.0.9.0") << false;
    QTest::newRow("numeric, not text order") << u"1.1.0.9"_s << 200 << infoFile("1.1.0.10") << true;
    QTest::newRow("section name case") << u"1.1.0.0"_s << 200 << infoFile("1.2.0.0", "TELLMONT") << true;
    QTest::newRow("other product") << u"1.1.0.0"_s << 200 << infoFile("9.0.0.0", "Other") << false;
    QTest::newRow("not four numbers") << u"1.1.0.0"_s << 200 << infoFile("2.0") << false;
    QTest::newRow("not an ini file") << u"1.1.0.0"_s << 200 << QByteArray("<html>hello</html>") << false;
    QTest::newRow("empty body") << u"1.1.0.0"_s << 200 << QByteArray() << false;
    QTest::newRow("404") << u"1.1.0.0"_s << 404 << infoFile("9.0.0.0") << false;
}

void TestUpdateCheck::check()
{
    QFETCH(QString, local);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, newer);

    SetLocalVersionText(local);
    CannedHttpServer server;
    server.respond(status, body);
    saveAddress(server.address());
    // A copy left by an earlier check must be replaced, never read in place of the answer.
    const QByteArray stale = infoFile("9.9.9.9");
    writeFile(UpdateInfoFileName(), stale);

    QCOMPARE(CheckForUpdate(), newer);
    QCOMPARE(server.requests, QStringList{u"GET /download/ProductUpdateInfo.inf HTTP/1.1"_s});
    QCOMPARE(readFile(UpdateInfoFileName()), status == 200 ? body : stale);
}

void TestUpdateCheck::noAnswerWithoutServer_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("address");

    QTest::newRow("nothing saved") << false << QString();
    QTest::newRow("empty address") << true << QString();
    QTest::newRow("connection refused") << true << refusingAddress();
    QTest::newRow("not an address") << true << u"no such host!"_s;
}

void TestUpdateCheck::noAnswerWithoutServer()
{
    QFETCH(bool, save);
    QFETCH(QString, address);

    if (save)
        saveAddress(address);
    writeFile(UpdateInfoFileName(), infoFile("9.9.9.9"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!CheckForUpdate());
    QVERIFY2(clock.elapsed() < 10000, "a failed connection must not wait for the time-out");
}

void TestUpdateCheck::silentServerTimesOut()
{
    SetUpdateTimeout(1000);
    CannedHttpServer server;
    server.stayQuiet();
    saveAddress(server.address());

    UpdateCheck check;
    // Without a time-out of its own the check would wait for ever; end it and fail.
    QTimer::singleShot(8000, &check, [&check] { check.cancel(); });

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!check.run());
    QVERIFY(!check.wasCancelled());
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(clock.elapsed() >= 900);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

void TestUpdateCheck::cancelStopsWaiting()
{
    CannedHttpServer server;
    server.stayQuiet();
    saveAddress(server.address());
    UpdateCheck check;
    server.onRequest = [&check] { check.cancel(); };

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!check.run());
    QVERIFY(check.wasCancelled());
    QVERIFY(!check.isRunning());
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
}

void TestUpdateCheck::showReadsSavedAddress()
{
    // Another part of the program writes the section as "Appname": the same section.
    writeFile(appIni(), "[Appname]\r\nReportTitle=Books\r\nUpdateIP=10.1.2.3\r\n");
    TfrmExeUpdateForm form;
    form.show();
    auto *edit = form.findChild<QLineEdit *>(u"edtIP"_s);
    QVERIFY(edit);
    QCOMPARE(edit->text(), u"10.1.2.3"_s);
    QCOMPARE(form.windowTitle(), u"Application update"_s);

    form.hide();
    QFile::remove(appIni());
    form.show();
    QCOMPARE(edit->text(), QString());
}

void TestUpdateCheck::saveSettingWritesAddress()
{
    writeFile(appIni(), "[Appname]\r\nReportTitle=Books\r\n");
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    auto *edit = form.findChild<QLineEdit *>(u"edtIP"_s);
    edit->clear();
    QTest::keyClicks(edit, u"update.example.org:8080"_s);
    QTest::mouseClick(form.findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);

    const IniFile ini(appIni());
    QCOMPARE(ini.ReadString(u"AppName"_s, u"UpdateIP"_s, u"missing"_s), u"update.example.org:8080"_s);
    QCOMPARE(ini.ReadString(u"AppName"_s, u"ReportTitle"_s, QString()), u"Books"_s);
    QCOMPARE(ini.ReadSections().size(), 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastText(), u"保存成功!"_s);
    QCOMPARE(messages.messages().last().caption, u"Message"_s);
    QCOMPARE(messages.messages().last().icon, QMessageBox::Information);
}

void TestUpdateCheck::saveSettingReportsFailure()
{
    QVERIFY(QDir(ProgramDir() + u"ini"_s).removeRecursively());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    form.findChild<QLineEdit *>(u"edtIP"_s)->setText(u"10.0.0.1"_s);
    form.Button3Click();

    QVERIFY(!QFile::exists(appIni()));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.lastText() != u"保存成功!"_s);
}

void TestUpdateCheck::updateStartsUpdaterAndEnds()
{
    CannedHttpServer server;
    server.respond(200, infoFile("1.1.0.1"));
    saveAddress(server.address());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    QTest::mouseClick(form.findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);

    QCOMPARE(m_started, QStringList{ProgramDir() + u"refreshor"_s});
    QCOMPARE(m_exits, QList<int>{0});
    QCOMPARE(messages.count(), 0);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
}

void TestUpdateCheck::updaterThatCannotStartKeepsTellmont()
{
    TfrmExeUpdateForm::SetStartProgramHook([this](const QString &program) {
        m_started << program;
        return false;
    });
    CannedHttpServer server;
    server.respond(200, infoFile("1.1.0.1"));
    saveAddress(server.address());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    form.Button1Click();

    QCOMPARE(m_started.size(), 1);
    QVERIFY(m_exits.isEmpty());
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.lastText().contains(u"refreshor"_s));
    QVERIFY(form.isVisible());
}

void TestUpdateCheck::updateWithoutNewerVersionStaysOpen()
{
    CannedHttpServer server;
    server.respond(200, infoFile("1.1.0.0"));
    saveAddress(server.address());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    auto *update = form.findChild<QPushButton *>(u"Button1"_s);

    // Seen from the server while the dialog waits for the answer.
    Qt::CursorShape cursorDuringCheck = Qt::ArrowCursor;
    bool updateEnabledDuringCheck = true;
    server.onRequest = [&] {
        if (QApplication::overrideCursor())
            cursorDuringCheck = QApplication::overrideCursor()->shape();
        updateEnabledDuringCheck = update->isEnabled();
    };
    QTest::mouseClick(update, Qt::LeftButton);

    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(cursorDuringCheck, Qt::WaitCursor);
    QVERIFY(!updateEnabledDuringCheck);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(update->isEnabled());
    QCOMPARE(messages.texts(), QStringList{u"Have the latest version, no update!"_s});
    QCOMPARE(messages.messages().last().icon, QMessageBox::Information);
    QVERIFY(form.isVisible());
    QVERIFY(m_started.isEmpty());
    QVERIFY(m_exits.isEmpty());
}

void TestUpdateCheck::updateUsesSavedNotEditedAddress()
{
    CannedHttpServer saved;
    saved.respond(200, infoFile("1.1.0.0"));
    CannedHttpServer typed;
    typed.respond(200, infoFile("1.1.0.1"));
    saveAddress(saved.address());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    auto *edit = form.findChild<QLineEdit *>(u"edtIP"_s);
    QCOMPARE(edit->text(), saved.address());
    edit->setText(typed.address());
    form.Button1Click();

    QCOMPARE(saved.requests.size(), 1);
    QVERIFY(typed.requests.isEmpty());
    QCOMPARE(messages.lastText(), u"Have the latest version, no update!"_s);
    QVERIFY(m_exits.isEmpty());
}

void TestUpdateCheck::cancelDuringCheckClosesQuietly()
{
    CannedHttpServer server;
    server.stayQuiet();
    saveAddress(server.address());
    MessageRecorder messages;
    TfrmExeUpdateForm form;
    form.show();
    auto *cancel = form.findChild<QPushButton *>(u"Button2"_s);
    server.onRequest = [&] {
        QVERIFY(form.isChecking());
        QTimer::singleShot(0, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
    };

    QElapsedTimer clock;
    clock.start();
    form.Button1Click();

    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(!form.isChecking());
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(messages.count(), 0);
    QVERIFY(m_exits.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
