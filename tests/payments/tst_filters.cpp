#include "Connection.h"
#include "PaymentQueryForm.h"
#include "SelectGroupForm.h"
#include "Tdm.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestFilters : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;

    static QStringList comboItems(const QComboBox *combo)
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    static QStringList nodeColumn(const QTreeWidget *tree, int column)
    {
        QStringList texts;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            texts << tree->topLevelItem(i)->text(column);
        return texts;
    }

    static void tick(QTreeWidget *tree, const QString &name)
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            if (tree->topLevelItem(i)->text(TfrmSelectGroupForm::ColGroupName) == name)
                tree->topLevelItem(i)->setCheckState(TfrmSelectGroupForm::ColSelect, Qt::Checked);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(OpenTestBook());
    }

    void cleanup()
    {
        m_dir.reset();
    }

    void itemQueryShowsTheFrequenciesOfTheBook()
    {
        // An id with a colon of its own, to see the list entry and the cut apart.
        dm->adc->Execute(u"insert into xt_tc_Due (FrequencyID, Frequency, DueName, Offset, DaysType, LoopTime) "
                         "values ('X:9', 'Odd', 'Odd', 1, 'W', '0')"_s);
        TfrmPaymentQueryForm form;
        form.show();
        QCOMPARE(form.Label1()->text(), u"Intruduction"_s);
        QCOMPARE(form.Label2()->text(), u"Find Item"_s);
        QCOMPARE(form.btnOk()->text(), u"OK(&Ent)"_s);
        QCOMPARE(form.btnCancel()->text(), u"Close(&ESC)"_s);
        QCOMPARE(comboItems(form.cboType()), QStringList({u"All"_s, u"Income"_s, u"Expense"_s}));
        QCOMPARE(form.cboType()->currentIndex(), -1);
        QCOMPARE(form.cboType()->placeholderText(), u"All"_s);
        const QStringList frequencies = comboItems(form.cboFrequency());
        QCOMPARE(frequencies.value(0), u"All"_s);
        QVERIFY(frequencies.contains(u"05:Monthly"_s));
        QVERIFY(frequencies.contains(u"X:9:Odd"_s));
        QCOMPARE(frequencies.size(), 12);
        QCOMPARE(form.cboFrequency()->currentIndex(), 0);
        QVERIFY(form.WhereText.isEmpty());
    }

    void itemQueryWhereText_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("type");
        // An entry to choose, or a text typed into the frequency list.
        QTest::addColumn<QString>("chosenFrequency");
        QTest::addColumn<QString>("typedFrequency");
        QTest::addColumn<QString>("where");

        QTest::newRow("initial state gives no filter") << QString() << -1 << QString() << QString() << QString();
        QTest::newRow("type All adds nothing") << QString() << 0 << u"All"_s << QString() << QString();
        QTest::newRow("description and Expense")
            << u"rent"_s << 2 << QString() << QString() << u" and Description like '%rent%' and Type ='0'"_s;
        QTest::newRow("quote in the description is doubled")
            << u"O'Brien's"_s << -1 << QString() << QString() << u" and Description like '%O''Brien''s%'"_s;
        QTest::newRow("Income") << QString() << 1 << QString() << QString() << u" and Type ='1'"_s;
        QTest::newRow("frequency chosen") << QString() << -1 << u"05:Monthly"_s << QString()
                                          << u" and FrequencyID='05'"_s;
        QTest::newRow("id with its own colon is cut at the first")
            << QString() << -1 << u"X:9:Odd"_s << QString() << u" and FrequencyID='X'"_s;
        QTest::newRow("typed frequency without colon")
            << QString() << -1 << QString() << u"Monthly"_s << u" and FrequencyID=''"_s;
        QTest::newRow("typed text up to the colon")
            << QString() << -1 << QString() << u"07:whatever"_s << u" and FrequencyID='07'"_s;
        QTest::newRow("typed id with a quote") << QString() << -1 << QString() << u"a'b:c"_s
                                               << u" and FrequencyID='a''b'"_s;
        QTest::newRow("all three")
            << u"Salary"_s << 1 << u"02:Weekly"_s << QString()
            << u" and Description like '%Salary%' and Type ='1' and FrequencyID='02'"_s;
    }

    void itemQueryWhereText()
    {
        QFETCH(QString, description);
        QFETCH(int, type);
        QFETCH(QString, chosenFrequency);
        QFETCH(QString, typedFrequency);
        QFETCH(QString, where);

        dm->adc->Execute(u"insert into xt_tc_Due (FrequencyID, Frequency, DueName, Offset, DaysType, LoopTime) "
                         "values ('X:9', 'Odd', 'Odd', 1, 'W', '0')"_s);
        TfrmPaymentQueryForm form;
        form.show();
        form.edtDescription()->setText(description);
        form.cboType()->setCurrentIndex(type);
        if (!chosenFrequency.isEmpty()) {
            const int index = form.cboFrequency()->findText(chosenFrequency);
            QVERIFY(index >= 0);
            form.cboFrequency()->setCurrentIndex(index);
        }
        if (!typedFrequency.isEmpty())
            form.cboFrequency()->lineEdit()->setText(typedFrequency);
        form.btnOk()->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.WhereText, where);
    }

    void itemQueryKeys()
    {
        TfrmPaymentQueryForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.edtDescription()->setFocus();
        QTest::keyClicks(form.edtDescription(), u"rent"_s);
        QTest::keyClick(form.edtDescription(), Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.WhereText, u" and Description like '%rent%'"_s);

        TfrmPaymentQueryForm closed;
        closed.show();
        QVERIFY(QTest::qWaitForWindowActive(&closed));
        closed.edtDescription()->setFocus();
        QTest::keyClicks(closed.edtDescription(), u"rent"_s);
        QTest::keyClick(closed.edtDescription(), Qt::Key_Escape);
        QCOMPARE(closed.result(), int(QDialog::Rejected));
        QVERIFY(closed.WhereText.isEmpty());
    }

    void groupFilterListsTheGroups()
    {
        TfrmSelectGroupForm form;
        form.show();
        QCOMPARE(form.windowTitle(), u"Select Group"_s);
        QTreeWidget *tree = form.tlGroup();
        QCOMPARE(tree->headerItem()->text(TfrmSelectGroupForm::ColSelect), u"select"_s);
        QCOMPARE(tree->headerItem()->text(TfrmSelectGroupForm::ColGroupId), u"GroupId"_s);
        QCOMPARE(tree->headerItem()->text(TfrmSelectGroupForm::ColGroupName), u"Group Name"_s);
        QVERIFY(tree->isColumnHidden(TfrmSelectGroupForm::ColGroupId));
        QVERIFY(!tree->isColumnHidden(TfrmSelectGroupForm::ColGroupName));
        QCOMPARE(nodeColumn(tree, TfrmSelectGroupForm::ColGroupName),
                 QStringList({u"Household"_s, u"Salary"_s, u"Business"_s, u"Car"_s, u"Insurance"_s, u"Leisure"_s}));
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            QCOMPARE(tree->topLevelItem(i)->checkState(TfrmSelectGroupForm::ColSelect), Qt::Unchecked);
        QCOMPARE(form.chkSelectAll()->text(), u"select all"_s);
        QCOMPARE(form.findChild<QPushButton *>(u"btnOk"_s)->text(), u"OK"_s);
        QCOMPARE(form.findChild<QPushButton *>(u"btnClose"_s)->text(), u"Close"_s);
        QCOMPARE(form.findChild<QLabel *>(u"lblTitle"_s)->text(), u"Select Group"_s);
    }

    void groupFilterResults_data()
    {
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<bool>("thenClearAll");
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("names");

        QTest::newRow("none ticked gives empty lists") << false << false << QStringList() << QString() << QString();
        QTest::newRow("select all gives every id in tree order")
            << true << false << QStringList() << u"1,2,3,4,5,6"_s
            << u"Household,Salary,Business,Car,Insurance,Leisure"_s;
        QTest::newRow("unchecking select all clears every tick")
            << true << true << QStringList() << QString() << QString();
        QTest::newRow("two ticked, in tree order not tick order")
            << false << false << QStringList({u"Leisure"_s, u"Salary"_s}) << u"2,6"_s << u"Salary,Leisure"_s;
    }

    void groupFilterResults()
    {
        QFETCH(bool, selectAll);
        QFETCH(bool, thenClearAll);
        QFETCH(QStringList, ticked);
        QFETCH(QString, ids);
        QFETCH(QString, names);

        TfrmSelectGroupForm form;
        form.show();
        if (selectAll)
            form.chkSelectAll()->click();
        if (thenClearAll)
            form.chkSelectAll()->click();
        for (const QString &name : std::as_const(ticked))
            tick(form.tlGroup(), name);
        form.findChild<QPushButton *>(u"btnOk"_s)->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.GroupIds, ids);
        QCOMPARE(form.GroupNames, names);
    }

    void groupFilterCloseCancels()
    {
        TfrmSelectGroupForm form;
        form.show();
        form.chkSelectAll()->click();
        form.findChild<QPushButton *>(u"btnClose"_s)->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(form.GroupIds.isEmpty());
        QVERIFY(form.GroupNames.isEmpty());
    }
};

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
