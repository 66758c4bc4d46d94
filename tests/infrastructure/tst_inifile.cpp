#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    static void writeRaw(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readRaw(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void readsWindowsProfileText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.ini"));
        writeRaw(path, "\xEF\xBB\xBF; comment\r\n[AppName]\r\nReportTitle= Household 2011 \r\nEmpty=\r\n"
                       "[xt_vd_ContactfrmContactListForm]\r\nfirst=\r\n\xE5\xA7\x93\xE5\x90\x8D=\r\nDisplay=\r\n"
                       "first=duplicate\r\n");
        IniFile ini(path);
        QCOMPARE(ini.ReadString(QStringLiteral("appname"), QStringLiteral("reporttitle"), QStringLiteral("x")),
                 QStringLiteral("Household 2011"));
        QVERIFY(ini.ValueExists(QStringLiteral("APPNAME"), QStringLiteral("Empty")));
        QCOMPARE(ini.ReadString(QStringLiteral("AppName"), QStringLiteral("Empty"), QStringLiteral("dflt")), QString());
        QCOMPARE(ini.ReadString(QStringLiteral("AppName"), QStringLiteral("Missing"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        // Keys keep file order, Chinese keys included; a repeated key counts once.
        QCOMPARE(ini.ReadSection(QStringLiteral("XT_VD_CONTACTFRMCONTACTLISTFORM")),
                 QStringList({QStringLiteral("first"), QStringLiteral("姓名"), QStringLiteral("Display")}));
        QCOMPARE(ini.ReadSection(QStringLiteral("nosuch")), QStringList());
    }

    void missingFileGivesDefaults()
    {
        IniFile ini(QStringLiteral("/nonexistent/dir/none.ini"));
        QCOMPARE(ini.ReadString(QStringLiteral("IME"), QStringLiteral("CURIME"), QStringLiteral("Error")),
                 QStringLiteral("Error"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("s"), QStringLiteral("k"), 100), 100);
        QVERIFY(ini.ReadSections().isEmpty());
        // The folder is not created: the write fails and says so.
        QVERIFY(!ini.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")));
    }

    void writesKeepOrderAndOtherSections()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("w.ini"));
        IniFile ini(path);
        QVERIFY(ini.WriteString(QStringLiteral("Width"), QStringLiteral("b"), QStringLiteral("120")));
        QVERIFY(ini.WriteString(QStringLiteral("Width"), QStringLiteral("a"), QStringLiteral("80")));
        QVERIFY(ini.WriteString(QStringLiteral("Other"), QStringLiteral("金额"), QString()));
        QVERIFY(ini.WriteString(QStringLiteral("WIDTH"), QStringLiteral("B"), QStringLiteral("130")));
        QCOMPARE(ini.ReadSection(QStringLiteral("width")), QStringList({QStringLiteral("b"), QStringLiteral("a")}));
        QCOMPARE(ini.ReadInteger(QStringLiteral("Width"), QStringLiteral("b"), 0), 130);
        QCOMPARE(readRaw(path), QByteArray("[Width]\r\nb=130\r\na=80\r\n[Other]\r\n\xE9\x87\x91\xE9\xA2\x9D=\r\n"));

        QVERIFY(ini.EraseSection(QStringLiteral("width")));
        QVERIFY(!ini.SectionExists(QStringLiteral("Width")));
        QVERIFY(ini.SectionExists(QStringLiteral("Other")));
        QVERIFY(ini.DeleteKey(QStringLiteral("other"), QStringLiteral("金额")));
        QCOMPARE(ini.ReadSection(QStringLiteral("Other")), QStringList());
    }

    void valuesAreRawAndSingleLine()
    {
        QTemporaryDir dir;
        IniFile ini(dir.filePath(QStringLiteral("v.ini")));
        QVERIFY(ini.WriteString(QStringLiteral("s"), QStringLiteral("q"), QStringLiteral("\"quoted\", 100%; a=b")));
        QCOMPARE(ini.ReadString(QStringLiteral("s"), QStringLiteral("q"), QString()), QStringLiteral("\"quoted\", 100%; a=b"));
        QVERIFY(ini.WriteString(QStringLiteral("s"), QStringLiteral("n"), QStringLiteral("two\nlines")));
        QCOMPARE(ini.ReadSection(QStringLiteral("s")).size(), 2);
    }

    void rewriteIsAtomic()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("atomic.ini"));
        IniFile ini(path);
        QVERIFY(ini.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("old")));
        // A reader holding the old file keeps seeing it whole: the new content
        // replaces the file instead of being written into it.
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QVERIFY(ini.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("new value")));
        QCOMPARE(reader.readAll(), QByteArray("[s]\r\nk=old\r\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("s"), QStringLiteral("k"), QString()), QStringLiteral("new value"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("atomic.ini")}));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
