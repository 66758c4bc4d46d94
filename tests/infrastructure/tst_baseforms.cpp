#include "DbError.h"
#include "IniFile.h"
#include "Public.h"
#include "TTBas.h"
#include "TellmontApplication.h"
#include "TestSupport.h"
#include "WinStyleForm.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// A dialog of the family with three fields and a button, in tab order.
class FieldsForm : public TTBas
{
public:
    FieldsForm()
    {
        auto *layout = new QVBoxLayout(this);
        first = new QLineEdit(this);
        second = new QDateEdit(this);
        check = new QCheckBox(QStringLiteral("check"), this);
        third = new QLineEdit(this);
        button = new QPushButton(QStringLiteral("Save"), this);
        for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(second), static_cast<QWidget *>(check),
                           static_cast<QWidget *>(third), static_cast<QWidget *>(button)})
            layout->addWidget(w);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
        for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(second), static_cast<QWidget *>(check),
                           static_cast<QWidget *>(button)})
            AttachFocusTint(w);
    }
    QLineEdit *first;
    QDateEdit *second;
    QCheckBox *check;
    QLineEdit *third;
    QPushButton *button;
    int clicks = 0;
};

class QueryForm : public TfrmWinStyleForm
{
public:
    QueryForm()
    {
        auto *layout = new QVBoxLayout(Panel2());
        name = new QLineEdit(Panel2());
        other = new QLineEdit(Panel2());
        layout->addWidget(name);
        layout->addWidget(other);
        connect(btnOk(), &QPushButton::clicked, this, [this] {
            ++okClicks;
            accept();
        });
    }
    QLineEdit *name;
    QLineEdit *other;
    int okClicks = 0;
};
}

class TestBaseForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enterMovesToTheNextControl_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::NoModifier);
        QTest::newRow("Shift+Enter moves forward too") << int(Qt::ShiftModifier);
    }

    void enterMovesToTheNextControl()
    {
        QFETCH(int, modifiers);
        FieldsForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.first->setFocus();
        QTRY_VERIFY(form.first->hasFocus());
        QTest::keyClick(form.first, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY2(form.second->hasFocus(), QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(form.check->hasFocus());
        QTest::keyClick(form.check, Qt::Key_Return);
        QTRY_VERIFY(form.third->hasFocus());
        QCOMPARE(form.clicks, 0); // Enter is navigation, never a default button
        QVERIFY(form.isVisible());
    }

    void tabPassesThroughEdtSetFoustOncePerCycle()
    {
        FieldsForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.EdtSetFoust()->width(), 0);
        QVERIFY(!form.BaseClass()->isVisible());
        QCOMPARE(form.BaseClass()->text(), QStringLiteral("不可见，基类专用"));
        form.first->setFocus();
        QTRY_VERIFY(form.first->hasFocus());
        int visits = 0;
        int steps = 0;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == form.EdtSetFoust())
                ++visits;
        } while (QApplication::focusWidget() != form.first && ++steps < 40);
        QVERIFY(steps < 40);
        QCOMPARE(visits, 1);
    }

    void focusTint()
    {
        FieldsForm form;
        QPalette p = form.first->palette();
        p.setColor(QPalette::Base, Qt::yellow);
        form.first->setPalette(p);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QColor checkBefore = form.check->palette().color(QPalette::Base);
        form.first->setFocus();
        QTRY_COMPARE(form.first->palette().color(QPalette::Base), QColor(206, 198, 251));
        form.second->setFocus();
        QTRY_COMPARE(form.second->palette().color(QPalette::Base), QColor(206, 198, 251));
        // After leaving, the button face, whatever the colour was at design time.
        QCOMPARE(form.first->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
        form.check->setFocus();
        QTRY_VERIFY(form.check->hasFocus());
        QCOMPARE(form.second->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
        QCOMPARE(form.check->palette().color(QPalette::Base), checkBefore); // not a tinted kind
        form.third->setFocus();
        QTRY_VERIFY(form.third->hasFocus());
        QVERIFY(form.third->palette().color(QPalette::Base) != QColor(206, 198, 251)); // not attached
    }

    void queryDialogEnterRunsOkAndEscCancels()
    {
        {
            QueryForm form;
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            form.name->setFocus();
            QTest::keyClick(form.name, Qt::Key_Return);
            QCOMPARE(form.okClicks, 1);
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        {
            QueryForm form;
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            form.other->setFocus();
            QTest::keyClick(form.other, Qt::Key_Escape);
            QCOMPARE(form.okClicks, 0);
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QVERIFY(!form.isVisible());
        }
        QueryForm form;
        QCOMPARE(form.btnOk()->text(), QStringLiteral("确定(&Ent)"));
        QCOMPARE(form.btnCancel()->text(), QStringLiteral("关闭(&ESC)"));
        QCOMPARE(form.Label1()->text(), QStringLiteral("功能介绍"));
        QCOMPARE(form.Label2()->text(), QStringLiteral("数据检索"));
    }

    void escDoesNotCloseAnEditingDialog()
    {
        FieldsForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.first, Qt::Key_Escape);
        QVERIFY(form.isVisible());
    }

    void freeOnClose()
    {
        QPointer<FieldsForm> form = new FieldsForm;
        form->SetFreeOnClose(true);
        form->show();
        form->close();
        QTRY_VERIFY(form.isNull());
    }

    void inputMethodFromConnectIni()
    {
        TempProgramDir dir;
        QWidget panel;
        auto *direct = new QLineEdit(&panel);
        auto *nested = new QLineEdit(new QWidget(&panel));
        auto *check = new QCheckBox(&panel);
        ApplyInputMethod(&panel);
        // Without Connect.ini the default names no installed input method.
        QCOMPARE(direct->property("inputMethodName").toString(), QStringLiteral("Error"));

        IniFile(dir.path() + QStringLiteral("Connect.ini"))
            .WriteString(QStringLiteral("IME"), QStringLiteral("CURIME"), QStringLiteral("fcitx-pinyin"));
        ApplyInputMethod(&panel);
        QCOMPARE(direct->property("inputMethodName").toString(), QStringLiteral("fcitx-pinyin"));
        QVERIFY(!nested->property("inputMethodName").isValid());
        QVERIFY(!check->property("inputMethodName").isValid());
    }

    void applicationHandlerShowsErrorsAndGoesOn()
    {
        auto *app = qobject_cast<TellmontApplication *>(QCoreApplication::instance());
        QVERIFY(app);
        MessageRecorder messages;
        QPushButton button;
        int after = 0;
        connect(&button, &QPushButton::clicked, &button, [] { throw DbError(QStringLiteral("no such table: xt_td_Nothing")); });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("no such table: xt_td_Nothing"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Critical);
        QTimer::singleShot(0, &button, [&after] { ++after; });
        QTRY_COMPARE(after, 1); // the event loop goes on
    }
};

int main(int argc, char **argv)
{
    TellmontApplication app(argc, argv);
    TestBaseForms test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_baseforms.moc"
