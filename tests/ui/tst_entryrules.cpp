// Typing into the window: which controls take part, the focus order, the
// length limits, the serial number's key filter and the focus rules.
#include "uiworld.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace kelvra;

namespace {

QString SelectedText(QWidget *field)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        return line->selectedText();
    return qobject_cast<QPlainTextEdit *>(field)->textCursor().selectedText();
}

void TypeText(QWidget *field, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
}

void CommitFromInputMethod(QWidget *field, const QString &text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

} // namespace

class TestEntryRules : public QObject
{
    Q_OBJECT

private slots:
    void operatorReachesOnlyWhatAWriteUses();
    void tabRunsRoundTheWindow();
    void lengthLimits_data();
    void lengthLimits();
    void serialNumberFilter();
    void enterMovesOnAsTabDoes();
    void maintenanceDateOnFocus_data();
    void maintenanceDateOnFocus();
    void focusSelectsWholeText();
    void closingUnloads();
};

void TestEntryRules::operatorReachesOnlyWhatAWriteUses()
{
    UiWorld world;
    QVERIFY(world.ShowActive());

    QStringList reachable;
    for (QWidget *w : world.frm.findChildren<QWidget *>()) {
        if (w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty()
            && w->objectName() != QLatin1String("qt_scrollarea_viewport"))
            reachable << w->objectName();
    }
    reachable.sort();
    QStringList expected{QStringLiteral("Check8"),   QStringLiteral("Combo1_0"), QStringLiteral("Combo1_1"),
                         QStringLiteral("Combo2"),   QStringLiteral("Command1"), QStringLiteral("Command2"),
                         QStringLiteral("Command3"), QStringLiteral("Text1_11"), QStringLiteral("Text1_12"),
                         QStringLiteral("Text1_8"),  QStringLiteral("Text1_9"),  QStringLiteral("Text1_10")};
    expected.sort();
    QCOMPARE(reachable, expected);

    // The greyed fields still show the record; the hidden boxes never show.
    for (int i = 0; i <= 7; ++i)
        QVERIFY(world.frm.Text1(i)->isVisible());
    for (int n = 1; n <= 7; ++n)
        QVERIFY(!world.frm.Check(n)->isVisible());
    QVERIFY(!world.frm.Combo3()->isVisible());
}

void TestEntryRules::tabRunsRoundTheWindow()
{
    UiWorld world;
    QVERIFY(world.ShowActive());
    world.frm.Combo1(0)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), world.frm.Combo1(0));

    QStringList order;
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
        if (QApplication::focusWidget() == world.frm.Combo1(0))
            break;
    }
    QCOMPARE(order, (QStringList{QStringLiteral("Combo1_1"), QStringLiteral("Command1"), QStringLiteral("Command2"),
                                 QStringLiteral("Command3"), QStringLiteral("Combo2"), QStringLiteral("Text1_8"),
                                 QStringLiteral("Text1_9"), QStringLiteral("Text1_10"), QStringLiteral("Text1_11"),
                                 QStringLiteral("Text1_12"), QStringLiteral("Check8"), QStringLiteral("Combo1_0")}));
}

void TestEntryRules::lengthLimits_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("limit");

    QTest::newRow("password") << 12 << 4;
    QTest::newRow("dealer code") << 8 << 16;
    QTest::newRow("stock date") << 9 << 16;
    QTest::newRow("sell date") << 10 << 16;
    QTest::newRow("seller") << 11 << 16;
    QTest::newRow("maintenance note") << 4 << 64;
}

void TestEntryRules::lengthLimits()
{
    QFETCH(int, field);
    QFETCH(int, limit);

    UiWorld world;
    QWidget *box = world.frm.Text1(field);
    box->setEnabled(true);
    QVERIFY(world.ShowActive());
    world.frm.SetText1Text(field, QString());
    box->setFocus();

    QTest::keyClicks(box, QString(limit - 1, QLatin1Char('a')));
    TypeText(box, QStringLiteral("中")); // input-method characters count like any other
    QTest::keyClicks(box, QStringLiteral("bc"));
    QCOMPARE(world.frm.Text1Text(field), QString(limit - 1, QLatin1Char('a')) + QStringLiteral("中"));

    // Pasting cannot overfill either; replacing a selection can.
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(world.frm.Text1Text(field).size(), limit);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("z"));
    QCOMPARE(world.frm.Text1Text(field), QStringLiteral("z"));
}

void TestEntryRules::serialNumberFilter()
{
    UiWorld world;
    QWidget *serial = world.frm.Text1(1);
    serial->setEnabled(true);
    QVERIFY(world.ShowActive());
    world.frm.SetText1Text(1, QString());
    serial->setFocus();

    QTest::keyClicks(serial, QStringLiteral("AB-12 x"));
    QCOMPARE(world.frm.Text1Text(1), QStringLiteral("AB12x"));

    QApplication::clipboard()->setText(QStringLiteral("ZZ"));
    QTest::keyClick(serial, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(world.frm.Text1Text(1), QStringLiteral("AB12x"));

    QTest::keyClick(serial, Qt::Key_Backspace);
    QCOMPARE(world.frm.Text1Text(1), QStringLiteral("AB12"));

    TypeText(serial, QStringLiteral("中"));
    CommitFromInputMethod(serial, QStringLiteral("中a"));
    QCOMPARE(world.frm.Text1Text(1), QStringLiteral("AB12a"));

    // Any other field takes the same characters.
    QWidget *dealer = world.frm.Text1(8);
    world.frm.SetText1Text(8, QString());
    dealer->setFocus();
    QTest::keyClicks(dealer, QStringLiteral("A-1 "));
    TypeText(dealer, QStringLiteral("中"));
    CommitFromInputMethod(dealer, QStringLiteral("文"));
    QTest::keyClick(dealer, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(world.frm.Text1Text(8), QStringLiteral("A-1 中文ZZ"));

    // Codes no keyboard here produces: DEL passes, a double-byte code does not.
    qint16 del = 127, doubleByte = -12345;
    world.frm.Text1_KeyPress(1, del);
    world.frm.Text1_KeyPress(1, doubleByte);
    QCOMPARE(QList<int>({del, doubleByte}), QList<int>({127, 0}));
}

void TestEntryRules::enterMovesOnAsTabDoes()
{
    UiWorld world;
    QWidget *serial = world.frm.Text1(1);
    serial->setEnabled(true);
    world.frm.Text1(2)->setEnabled(true);
    QVERIFY(world.ShowActive());
    world.frm.SetText1Text(1, QStringLiteral("AB"));

    serial->setFocus();
    QTest::keyClick(serial, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), world.frm.Text1(2));
    QCOMPARE(world.frm.Text1Text(1), QStringLiteral("AB"));

    // With the next field greyed, Enter skips it like Tab.
    world.frm.Text1(2)->setEnabled(false);
    serial->setFocus();
    QTest::keyClick(serial, Qt::Key_Enter);
    QWidget *afterEnter = QApplication::focusWidget();
    serial->setFocus();
    QTest::keyClick(serial, Qt::Key_Tab);
    QCOMPARE(afterEnter, QApplication::focusWidget());
    QCOMPARE(afterEnter, world.frm.Command1());
}

void TestEntryRules::maintenanceDateOnFocus_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    QTest::newRow("empty gets today") << QString() << today;
    QTest::newRow("blanks stay") << QStringLiteral("  ") << QStringLiteral("  ");
    QTest::newRow("a date stays") << QStringLiteral("2020-01-02") << QStringLiteral("2020-01-02");
}

void TestEntryRules::maintenanceDateOnFocus()
{
    QFETCH(QString, before);
    QFETCH(QString, after);

    UiWorld world;
    QWidget *date = world.frm.Text1(3);
    date->setEnabled(true);
    world.frm.Text1(2)->setEnabled(true);
    QVERIFY(world.ShowActive());
    world.frm.SetText1Text(3, before);

    world.frm.Text1(2)->setFocus();
    QTest::keyClick(world.frm.Text1(2), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), date);
    QCOMPARE(world.frm.Text1Text(3), after);
    QCOMPARE(SelectedText(date), after);
}

void TestEntryRules::focusSelectsWholeText()
{
    UiWorld world;
    world.frm.Text1(4)->setEnabled(true);
    QVERIFY(world.ShowActive());
    world.frm.SetText1Text(8, QStringLiteral("D-001"));
    world.frm.SetText1Text(4, QStringLiteral("two\nlines"));

    world.frm.Combo2()->setFocus();
    QTest::keyClick(world.frm.Combo2(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), world.frm.Text1(8));
    QCOMPARE(SelectedText(world.frm.Text1(8)), QStringLiteral("D-001"));
    QTest::keyClicks(world.frm.Text1(8), QStringLiteral("E"));
    QCOMPARE(world.frm.Text1Text(8), QStringLiteral("E"));

    // Any way of arriving selects, not only Tab.
    world.frm.Text1(4)->setFocus(Qt::OtherFocusReason);
    QCOMPARE(world.frm.Text1(4)->hasFocus(), true);
    QCOMPARE(SelectedText(world.frm.Text1(4)), QStringLiteral("two\u2029lines"));
}

void TestEntryRules::closingUnloads()
{
    UiWorld world;
    QVERIFY(world.ShowActive());
    QSignalSpy unload(&world.frm, &FrmMain::Unload);
    world.frm.close();
    QCOMPARE(unload.count(), 1);
    QVERIFY(!world.frm.isVisible());
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
