#include "ChildWindows.h"
#include "CurrentAccount.h"
#include "MainForm.h"
#include "SetCaptionForm.h"
#include "StartUp.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {
class FakeGate : public QDialog
{
public:
    explicit FakeGate(int result) : m_result(result) {}
    int exec() override
    {
        ++opened;
        if (m_result == Accepted)
            CurrentAccountName = QStringLiteral("Sample");
        return m_result;
    }
    static inline int opened = 0;

private:
    int m_result;
};

template<typename T>
QList<T *> topLevels()
{
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w))
            found << t;
    return found;
}
}

class TestStartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        SetOpenAccountDialogFactory({});
        CurrentAccountName.clear();
    }

    void closingTheGateEndsWithoutMainWindow()
    {
        TempProgramDir dir;
        QFile::remove(dir.path() + QStringLiteral("Picvault.rcc")); // no splash: no wait
        FakeGate::opened = 0;
        SetOpenAccountDialogFactory([](QWidget *) { return new FakeGate(QDialog::Rejected); });
        QCOMPARE(RunTellmont(), 0);
        QCOMPARE(FakeGate::opened, 1);
        QVERIFY(topLevels<TfrmMainForm>().isEmpty());
    }

    void openingABookRunsTheMainWindow()
    {
        TempProgramDir dir;
        QFile::remove(dir.path() + QStringLiteral("Picvault.rcc"));
        MessageRecorder messages;
        SetOpenAccountDialogFactory([](QWidget *) { return new FakeGate(QDialog::Accepted); });
        MainFormShown = true; // the start-up resets it before the gate
        int mainWindows = -1;
        bool titleHidden = false;
        int titleWindows = 0;
        QString account;
        QTimer::singleShot(300, qApp, [&] {
            const auto mains = topLevels<TfrmMainForm>();
            mainWindows = int(mains.size());
            const auto titles = topLevels<TfrmSetCaptionForm>();
            titleWindows = int(titles.size());
            titleHidden = !titles.isEmpty() && !titles.first()->isVisible();
            if (!mains.isEmpty()) {
                account = mains.first()->pelAccount()->text();
                messages.answer(QMessageBox::Yes);
                mains.first()->close();
            }
        });
        QCOMPARE(RunTellmont(), 0);
        QCOMPARE(mainWindows, 1);
        QCOMPARE(titleWindows, 1);
        QVERIFY(titleHidden);
        QCOMPARE(account, QStringLiteral("Current Account: Sample"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tellmont"));
        QCOMPARE(messages.lastText(), QStringLiteral("Do you really want to exit the system?"));
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
