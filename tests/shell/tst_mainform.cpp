#include "ChildWindows.h"
#include "CurrentAccount.h"
#include "ExternalTools.h"
#include "FlashForm.h"
#include "MainForm.h"
#include "NavigationBar.h"
#include "ProgramDir.h"
#include "TestSupport.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {
int g_created = 0;

QWidget *makeChild(QWidget *owner, const QString &mode)
{
    ++g_created;
    auto *w = new QWidget(owner);
    w->setProperty("mode", mode);
    w->setAttribute(Qt::WA_DeleteOnClose);
    return w;
}

// Stands in for the account gate: answers with the given result at once.
class FakeGate : public QDialog
{
public:
    explicit FakeGate(bool ok, const QString &newName) : m_ok(ok), m_name(newName) {}
    int exec() override
    {
        if (m_ok)
            CurrentAccountName = m_name;
        return m_ok ? Accepted : Rejected;
    }

private:
    bool m_ok;
    QString m_name;
};
}

class TestMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        g_created = 0;
        MainFormShown = false;
        for (const char *code : {"0102", "0201", "0301"})
            SetChildWindowFactory(QLatin1String(code), makeChild);
    }

    void cleanup()
    {
        for (const char *code : {"0102", "0201", "0301"})
            SetChildWindowFactory(QLatin1String(code), {});
        SetOpenAccountDialogFactory({});
        SetExternalToolHooks({}, {});
    }

    void firstShowFillsStatusAndTitleOnce()
    {
        CurrentAccountName = QStringLiteral("Home");
        TfrmMainForm form;
        QVERIFY(!MainFormShown);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(MainFormShown);
        QCOMPARE(form.pelAccount()->text(), QStringLiteral("Current Account: Home"));
        QVERIFY(form.pelDate()->text().startsWith(QStringLiteral("Current Date : ")));
        QCOMPARE(form.windowTitle(), QStringLiteral("Tellmont v1.0"));
        // The navigation panel keeps its width; the client area takes the rest.
        QCOMPARE(form.RzSizePanel1()->width(), 199 + 7);
        QVERIFY(form.imgClient()->width() > form.width() - 199 - 7 - 20);
        // Only "Setting" is expanded at start.
        NavigationBar *bar = form.RzGroupBar1();
        QVERIFY(bar->isGroupExpanded(QStringLiteral("RzGroup1")));
        for (const char *g : {"groupList", "RzGroup3", "RzGroup4"})
            QVERIFY(!bar->isGroupExpanded(QLatin1String(g)));
        // A second main window in the same run does not redo the first-show work.
        CurrentAccountName = QStringLiteral("Other");
        TfrmMainForm second;
        second.show();
        QCOMPARE(second.pelAccount()->text(), QString());
        CurrentAccountName.clear();
    }

    void menusToolbarAndHints()
    {
        TfrmMainForm form;
        QStringList menus;
        for (QAction *a : form.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Income And Expense"),
                                     QStringLiteral("&Tools"), QStringLiteral("&Setting"), QStringLiteral("&Help")}));
        QCOMPARE(form.action(QStringLiteral("dxBarButton2"))->text(), QStringLiteral("Open Account(&B)"));
        QCOMPARE(form.action(QStringLiteral("dxBarButton40"))->statusTip(), QStringLiteral("Add Group"));
        QCOMPARE(form.action(QStringLiteral("dxBarButton75"))->shortcut(), QKeySequence(Qt::Key_F1));
        auto *toolbar = form.findChild<QToolBar *>(QStringLiteral("Shortcut"));
        QVERIFY(toolbar);
        QCOMPARE(toolbar->windowTitle(), QStringLiteral("Shortcut"));
        QStringList tools;
        for (QAction *a : toolbar->actions())
            tools << (a->isSeparator() ? QStringLiteral("|") : a->text());
        QCOMPARE(tools, QStringList({QStringLiteral("|"), QStringLiteral("打开账套(&B)"), QStringLiteral("Backup(&B)"),
                                     QStringLiteral("|"), QStringLiteral("Group(&G)"), QStringLiteral("Income && Expense(&I)"),
                                     QStringLiteral("Report Title(&A)"), QStringLiteral("Change Password(&P)"),
                                     QStringLiteral("|"), QStringLiteral("Help(&H)"), QStringLiteral("Online Update"),
                                     QStringLiteral("|"), QStringLiteral("Exit(&X)")}));
    }

    void oneChildPerCode()
    {
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.OpenChildWindow(QStringLiteral("0201"));
        form.OpenChildWindow(QStringLiteral("0102"));
        form.OpenChildWindow(QStringLiteral("0301"));
        QCOMPARE(g_created, 3);
        QCOMPARE(form.childFrames().size(), 3);
        QCOMPARE(form.childWindow(QStringLiteral("0201"))->property("mode").toString(), QStringLiteral("0"));

        QMdiSubWindow *frame = form.childFrames().first();
        frame->move(40, 30);
        frame->showMinimized();
        form.OpenChildWindow(QStringLiteral("0201"));
        QCOMPARE(g_created, 3);
        QVERIFY(!frame->isMinimized());
        QVERIFY(!frame->isMaximized());
        QCOMPARE(frame->pos(), QPoint(0, 0));
        QCOMPARE(form.imgClient()->activeSubWindow(), frame);

        frame->showMaximized();
        QVERIFY(form.FindChildWindow(QStringLiteral("0201")));
        QVERIFY(!frame->isMaximized());
        QVERIFY(!form.FindChildWindow(QStringLiteral("9999")));
        QVERIFY(!form.FindChildWindow(QStringLiteral("0201 ")));
    }

    void closedChildIsCreatedAfresh()
    {
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.OpenChildWindow(QStringLiteral("0201"));
        QPointer<QWidget> child = form.childWindow(QStringLiteral("0201"));
        child->close(); // the child frees itself
        QTRY_VERIFY(child.isNull());
        QTRY_COMPARE(form.childFrames().size(), 0);
        form.OpenChildWindow(QStringLiteral("0201"));
        QCOMPARE(g_created, 2);
        QVERIFY(form.childWindow(QStringLiteral("0201")));
    }

    void childrenFollowTheClientSize()
    {
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.OpenChildWindow(QStringLiteral("0201"));
        const QSize first = form.childFrames().first()->size();
        QCOMPARE(first, QSize(form.ChildWidth(), form.ChildHeight()));
        form.resize(form.width() - 50, form.height() - 40);
        QTRY_COMPARE(form.ChildWidth(), form.imgClient()->viewport()->width());
        QTRY_COMPARE(form.childFrames().first()->size(), form.imgClient()->viewport()->size());
    }

    void openAnotherAccount()
    {
        CurrentAccountName = QStringLiteral("Home");
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.OpenChildWindow(QStringLiteral("0201"));
        form.OpenChildWindow(QStringLiteral("0102"));

        SetOpenAccountDialogFactory([](QWidget *) { return new FakeGate(false, QString()); });
        form.OpenAnotherAccount();
        QCOMPARE(form.childFrames().size(), 2);
        QCOMPARE(form.pelAccount()->text(), QStringLiteral("Current Account: Home"));

        const QString title = form.windowTitle();
        const QString date = form.pelDate()->text();
        SetOpenAccountDialogFactory([](QWidget *) { return new FakeGate(true, QStringLiteral("Shop")); });
        form.OpenAnotherAccount();
        QCOMPARE(form.childFrames().size(), 0);
        QCOMPARE(form.pelAccount()->text(), QStringLiteral("Current Account: Shop"));
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(form.pelDate()->text(), date);
        CurrentAccountName.clear();
    }

    void exitQuestion()
    {
        MessageRecorder messages;
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.OpenChildWindow(QStringLiteral("0201"));
        messages.answer(QMessageBox::No);
        form.dxBarButton4Click();
        QVERIFY(form.isVisible());
        QCOMPARE(form.childFrames().size(), 1);
        QCOMPARE(messages.count(), 1);
        const MessageRequest m = messages.messages().first();
        QCOMPARE(m.text, QStringLiteral("Do you really want to exit the system?"));
        QCOMPARE(m.caption, QStringLiteral("message"));
        QCOMPARE(m.icon, QMessageBox::Question);
        QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(m.defaultButton, QMessageBox::No);
        messages.answer(QMessageBox::Yes);
        QVERIFY(form.close());
        QVERIFY(!form.isVisible());
    }

    void toolsAndHelp()
    {
        QStringList started;
        QStringList opened;
        SetExternalToolHooks([&started](const QStringList &names) { started << names.first(); return false; },
                             [&opened](const QString &path) { opened << path; return false; });
        TempProgramDir dir;
        TfrmMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.RzGroupBar1()->item(QStringLiteral("RzGroup3Items1"))->click();
        form.action(QStringLiteral("dxBarButton64"))->trigger();
        QCOMPARE(started, QStringList({CalculatorPrograms().first(), TextEditorPrograms().first()}));
        // F1 from anywhere in the window.
        QTest::keyClick(&form, Qt::Key_F1);
        QCOMPARE(opened, QStringList({dir.path() + QStringLiteral("help/index.html")}));
        QVERIFY(QFile::exists(opened.first()));
    }

    void entriesWithoutWindowAreDisabled()
    {
        SetChildWindowFactory(QStringLiteral("0301"), {});
        TfrmMainForm form;
        if (!ChildWindowFactory(QStringLiteral("0301"))) {
            QVERIFY(!form.action(QStringLiteral("dxBarButton62"))->isEnabled());
            QVERIFY(!form.RzGroupBar1()->item(QStringLiteral("RzGroup3Items0"))->isEnabled());
        }
        QVERIFY(form.action(QStringLiteral("dxBarButton105"))->isEnabled());
        QVERIFY(form.RzGroupBar1()->item(QStringLiteral("RzGroup2Items0"))->isEnabled());
    }

    void splash()
    {
        QPixmap picture(123, 45);
        picture.fill(Qt::blue);
        TFrmFlashForm form(picture);
        QCOMPARE(form.size(), QSize(123, 45));
        QCOMPARE(form.ImgFlash()->geometry(), QRect(0, 0, 123, 45));

        TempProgramDir dir;
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("Picvault.rcc")));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(ShowSplashScreen());
        const qint64 shown = clock.elapsed();
        QVERIFY2(shown >= 1900 && shown < 4000, qPrintable(QString::number(shown)));
        // The picture is released with the splash.
        QVERIFY(!QFile::exists(QStringLiteral(":/jpeg/ImgFlash")));

        QFile::remove(dir.path() + QStringLiteral("Picvault.rcc"));
        clock.restart();
        QVERIFY(!ShowSplashScreen());
        QVERIFY(clock.elapsed() < 500);
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
