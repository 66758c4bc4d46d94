#include "Connection.h"
#include "ConnectionString.h"
#include "CurrentAccount.h"
#include "DbError.h"
#include "Money.h"
#include "ProgramDir.h"
#include "Query.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectionString()
    {
        TempProgramDir dir;
        const QString text = BuildConnectionString(QStringLiteral("Home.tqx"));
        QCOMPARE(text, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=") + dir.path()
                           + QStringLiteral("db/Home.tqx;Mode=ReadWrite;Jet OLEDB:Database Password=kpw794;"));
        QVERIFY(text.endsWith(QStringLiteral("db/Home.tqx;Mode=ReadWrite;Jet OLEDB:Database Password=kpw794;")));
        const ConnectionStringParts parts = ParseConnectionString(text);
        QCOMPARE(parts.provider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        QCOMPARE(parts.userId, QStringLiteral("admin"));
        QCOMPARE(parts.dataSource, dir.path() + QStringLiteral("db/Home.tqx"));
        QCOMPARE(parts.mode, QStringLiteral("ReadWrite"));
        QCOMPARE(parts.password, QStringLiteral("kpw794"));
        QCOMPARE(RegistryConnectionString(), BuildConnectionString(QStringLiteral("Account.tqx")));
        // Keys compare without regard to case; blanks in the path survive.
        const auto other = ParseConnectionString(QStringLiteral("data source=/x/my book.tqx;JET OLEDB:DATABASE PASSWORD=p;"));
        QCOMPARE(other.dataSource, QStringLiteral("/x/my book.tqx"));
        QCOMPARE(other.password, QStringLiteral("p"));
    }

    void connectOpensTheBookAndSetsTheString()
    {
        TempProgramDir dir;
        MessageRecorder messages;
        QVERIFY(OpenSession(QStringLiteral("Sample.tqx")));
        QVERIFY(dm && dm->adc->Connected());
        QCOMPARE(CurrentConnectionString, BuildConnectionString(QStringLiteral("Sample.tqx")));
        QCOMPARE(messages.count(), 0);
        QVERIFY(!TerminationRequested());
    }

    void connectFailureShowsErrorAndRequestsTermination_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("not a database") << QByteArray("This is a letter, not an account book.\n").repeated(200) << true;
        QTest::newRow("empty header of a damaged book") << QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x7f') << true;
    }

    void connectFailureShowsErrorAndRequestsTermination()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        TempProgramDir dir;
        MessageRecorder messages;
        const QString file = dir.path() + QStringLiteral("db/Broken.tqx");
        if (create) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        CurrentConnectionString = QStringLiteral("before");
        QVERIFY(!OpenSession(QStringLiteral("Broken.tqx")));
        QVERIFY(TerminationRequested());
        ResetTermination();
        QCOMPARE(messages.count(), 1);
        const MessageRequest m = messages.messages().first();
        QVERIFY2(m.text.startsWith(QStringLiteral("Error Message:\r\r")), qPrintable(m.text));
        QVERIFY(m.text.size() > QStringLiteral("Error Message:\r\r").size());
        QVERIFY(!m.text.contains(QLatin1Char('\n')));
        QCOMPARE(m.caption, QStringLiteral("Message"));
        QCOMPARE(m.icon, QMessageBox::Information);
        QCOMPARE(m.owner, nullptr);
        QCOMPARE(CurrentConnectionString, QStringLiteral("before"));
        // The file is left as it was: a failed open never creates or changes a book.
        QCOMPARE(QFile::exists(file), create);
        if (create) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    void queryTypesLocateAndSort()
    {
        TempProgramDir dir;
        QVERIFY(OpenTestBook(QStringLiteral("Blank.tqx"), QStringLiteral("Blank")));
        Connection *adc = dm->adc;
        adc->Execute(QStringLiteral("insert into xt_tc_Group(GroupName) values ('Home')"));
        adc->Execute(QStringLiteral("insert into xt_td_Payment(Description,Amount,Type,DateBegin,DateEnd,HasEnd,GroupID,FrequencyID,AccountID) "
                                    "values ('rent',500,'0','2011-03-01','2011-03-01','0',1,'05',1),"
                                    "('salary',1234.5678,'1','2011-03-25','2012-01-31','1',1,'05',1),"
                                    "('Bonus',1234.5678,'1','2011-02-01','2011-02-01','1',1,'01',1),"
                                    "('apples',-2.5,'0','2011-03-01','2011-03-01','0',1,'02',1)"));
        Query q(adc);
        q.setSql(QStringLiteral("select * from xt_vd_Payment where 1=1  order by IncID"));
        q.Open();
        QCOMPARE(q.RecordCount(), 4);
        QCOMPARE(q.field(q.fieldIndex(QStringLiteral("IncID"))).type, FieldType::Integer);
        QCOMPARE(q.field(q.fieldIndex(QStringLiteral("amount"))).type, FieldType::Money);
        QCOMPARE(q.field(q.fieldIndex(QStringLiteral("DateBegin"))).type, FieldType::Date);
        QCOMPARE(q.field(q.fieldIndex(QStringLiteral("GroupName"))).type, FieldType::Text);
        QVERIFY(q.field(q.fieldIndex(QStringLiteral("Amount"))).isNumeric());
        QVERIFY(!q.field(q.fieldIndex(QStringLiteral("DateBegin"))).isNumeric());
        QCOMPARE(q.value(1, q.fieldIndex(QStringLiteral("Amount"))).value<Money>(), Money::fromUnits(12345678));
        QCOMPARE(q.value(0, q.fieldIndex(QStringLiteral("DateBegin"))).toDate(), QDate(2011, 3, 1));
        QCOMPARE(q.value(0, q.fieldIndex(QStringLiteral("GroupName"))).toString(), QStringLiteral("Home"));

        QVERIFY(q.Locate(QStringLiteral("description"), QStringLiteral("SALARY")));
        QCOMPARE(q.RecNo(), 2);
        QVERIFY(!q.Locate(QStringLiteral("Description"), QStringLiteral("SALARY"), Qt::CaseSensitive));
        QVERIFY(!q.Locate(QStringLiteral("Description"), QStringLiteral("nothing")));
        QCOMPARE(q.RecNo(), 2);
        QVERIFY(q.Locate(QStringLiteral("IncID"), 3));
        const Query::Bookmark mark = q.GetBookmark();

        // Several fields: amount descending, then description ascending (text without regard to case).
        q.setSort(QStringLiteral("Amount DESC ,Description ASC"));
        QStringList order;
        for (int r = 0; r < q.RecordCount(); ++r)
            order << q.value(r, q.fieldIndex(QStringLiteral("Description"))).toString();
        QCOMPARE(order, QStringList({QStringLiteral("Bonus"), QStringLiteral("salary"), QStringLiteral("rent"),
                                     QStringLiteral("apples")}));
        QCOMPARE(q.text(QStringLiteral("Description")), QStringLiteral("Bonus")); // the current row stays
        q.setSort(QStringLiteral("Type ASC,DateBegin DESC "));
        order.clear();
        for (int r = 0; r < q.RecordCount(); ++r)
            order << q.value(r, q.fieldIndex(QStringLiteral("Description"))).toString();
        QCOMPARE(order, QStringList({QStringLiteral("rent"), QStringLiteral("apples"), QStringLiteral("salary"),
                                     QStringLiteral("Bonus")}));
        q.setSort(QString());
        QCOMPARE(q.value(0, 1).toString(), QStringLiteral("rent"));
        QVERIFY(q.GotoBookmark(mark));
        QCOMPARE(q.text(QStringLiteral("Description")), QStringLiteral("Bonus"));

        q.Last();
        QVERIFY(!q.Eof());
        q.Next();
        QVERIFY(q.Eof());
        QCOMPARE(q.RecNo(), 4);
    }

    void appendAndEditPostByKey()
    {
        TempProgramDir dir;
        QVERIFY(OpenTestBook(QStringLiteral("Blank.tqx"), QStringLiteral("Blank")));
        Query q(dm->adc);
        q.setSql(QStringLiteral("select * from xt_td_payment where 1=2 "));
        q.Open();
        QVERIFY(q.IsEmpty());
        q.Append();
        q.setValue(QStringLiteral("Description"), QStringLiteral("it's rent"));
        q.setValue(QStringLiteral("Amount"), QVariant::fromValue(Money::fromString(QStringLiteral("500.10"))));
        q.setValue(QStringLiteral("Type"), QStringLiteral("0"));
        q.setValue(QStringLiteral("DateBegin"), QDate(2011, 3, 1));
        q.setValue(QStringLiteral("DateEnd"), QDate(2011, 3, 1));
        q.setValue(QStringLiteral("HasEnd"), QStringLiteral("0"));
        q.setValue(QStringLiteral("GroupID"), 7);
        q.setValue(QStringLiteral("FrequencyID"), QStringLiteral("05"));
        q.Post();
        const qlonglong id = q.value(QStringLiteral("IncID")).toLongLong();
        QVERIFY(id > 0);
        QCOMPARE(q.state(), Query::State::Browse);

        Query check(dm->adc);
        check.setSql(QStringLiteral("select * from xt_td_payment where IncID=") + QString::number(id));
        check.Open();
        QCOMPARE(check.RecordCount(), 1);
        QCOMPARE(check.text(QStringLiteral("Description")), QStringLiteral("it's rent"));
        QCOMPARE(check.value(QStringLiteral("Amount")).value<Money>(), Money::fromUnits(5001000));
        QCOMPARE(check.value(QStringLiteral("DateBegin")).toDate(), QDate(2011, 3, 1));
        QVERIFY(check.value(QStringLiteral("AccountID")).isNull());

        check.Edit();
        check.setValue(QStringLiteral("Description"), QStringLiteral("rent"));
        check.setValue(QStringLiteral("DateEnd"), QDate(2012, 2, 29));
        check.Post();
        check.Requery();
        QCOMPARE(check.text(QStringLiteral("Description")), QStringLiteral("rent"));
        QCOMPARE(check.value(QStringLiteral("DateEnd")).toDate(), QDate(2012, 2, 29));
        QCOMPARE(check.value(QStringLiteral("Amount")).value<Money>(), Money::fromUnits(5001000));

        // Cancel discards the pending row.
        q.Append();
        q.setValue(QStringLiteral("Description"), QStringLiteral("never"));
        q.Cancel();
        Query all(dm->adc);
        all.setSql(QStringLiteral("select * from xt_td_payment"));
        all.Open();
        QCOMPARE(all.RecordCount(), 1);
    }

    void runSqlModes()
    {
        TempProgramDir dir;
        QVERIFY(OpenTestBook(QStringLiteral("Blank.tqx"), QStringLiteral("Blank")));
        Query *q = dm->AQ_Query;
        dm->RunSql(q, QStringLiteral("insert into xt_tc_Group(GroupName) values ('Car')"), 0);
        QVERIFY(!q->Active());
        dm->RunSql(q, QStringLiteral("select * from xt_tc_Group"), 1);
        QVERIFY(q->Active());
        QCOMPARE(q->RecordCount(), 1);
        dm->RunSql(q, QStringLiteral("select * from xt_tc_Due"), 2);
        QVERIFY(!q->Active());
        QCOMPARE(q->sql(), QStringLiteral("select * from xt_tc_Due"));
        QVERIFY_THROWS_EXCEPTION(DbError, dm->RunSql(q, QStringLiteral("select * from no_such_table"), 1));
        QVERIFY(!q->Active());
    }

    void sessionSurvivesCloseAndReopen()
    {
        TempProgramDir dir;
        QVERIFY(OpenTestBook());
        Query q(dm->adc);
        q.setSql(QStringLiteral("select * from xt_tc_Group"));
        q.Open();
        const int groups = q.RecordCount();
        dm->adc->Close();
        QVERIFY_THROWS_EXCEPTION(DbError, q.Requery());
        QVERIFY(dm->Connect(QStringLiteral("Sample.tqx")));
        q.Requery();
        QCOMPARE(q.RecordCount(), groups);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
