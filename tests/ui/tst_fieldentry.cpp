// What the text fields take while the operator types: the serial number's
// filter, the radio's byte limits with the sign of a full field, and the
// selection on arrival.
#include "lang/translations.h"
#include "ui/fullfieldsign.h"
#include "ui/uiworld.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolTip>

using namespace kelvra;
using kelvra::testing::World;

class TestFieldEntry : public QObject
{
    Q_OBJECT

private slots:
    void serialNumberTakesLettersAndDigitsOnly()
    {
        World world;
        FrmMain &frm = world.frm;
        QWidget *serial = frm.Text1(1);
        serial->setEnabled(true);
        frm.Text1(2)->setEnabled(true);
        QVERIFY(world.ShowActive());
        frm.SetText1Text(1, QString());
        serial->setFocus();

        QTest::keyClicks(serial, QStringLiteral("AB-12 x"));
        QApplication::clipboard()->setText(QStringLiteral("ZZ"));
        QTest::keyClick(serial, Qt::Key_V, Qt::ControlModifier);
        QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
        QApplication::sendEvent(serial, &chinese);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("文"));
        QApplication::sendEvent(serial, &commit);
        QCOMPARE(frm.Text1Text(1), QStringLiteral("AB12x"));

        QTest::keyClick(serial, Qt::Key_Backspace);
        QTest::keyClick(serial, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), frm.Text1(2));
        QCOMPARE(frm.Text1Text(1), QStringLiteral("AB12"));
    }

    void typingAndPastingStopAtTheRadiosBytes_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("how"); // "type", "commit" (input method) or "paste"
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("full"); // the tooltip of a refusal, %1 the field's name; empty: no sign

        // Arriving selects the whole text, which the typing replaces (caret -1). Three
        // letters too many are three refusals in a burst, so one beep.
        const int limits[] = {4, 16, 16, 16, 64, 16, 8, 4, 16, 16, 16, 16, 4};
        for (int i = 0; i < 13; ++i)
            QTest::addRow("field %d, letters", i) << i << "" << -1 << "type" << QString(limits[i] + 3, u'a')
                                                  << QString(limits[i], u'a')
                                                  << QString("%1 is full: %2 of %2 bytes").arg("%1", QString::number(limits[i]));
        const QString nine = QStringLiteral("一二三四五六七八九");
        QTest::newRow("dealer code, nine Chinese typed") << 8 << "" << 0 << "commit" << nine << nine.left(8)
                                                         << "Dealer Code is full: 16 of 16 bytes";
        QTest::newRow("one byte left, no room for Chinese") << 8 << QString(15, u'a') << 15 << "commit"
                                                             << "中" << QString(15, u'a')
                                                             << "Dealer Code is full: 15 of 16 bytes";
        QTest::newRow("filling it exactly is no refusal") << 8 << QString(15, u'a') << 15 << "type" << "b"
                                                          << QString(15, u'a') + u'b' << "";
        QTest::newRow("Chinese after the caret counts two bytes each") << 8 << nine.left(7) << 0 << "type" << "abc"
                                                                       << QStringLiteral("ab") + nine.left(7)
                                                                       << "Dealer Code is full: 16 of 16 bytes";
        QTest::newRow("paste in the middle keeps the tail") << 11 << "ab" << 1 << "paste" << nine
                                                            << QStringLiteral("a一二三四五六七b")
                                                            << "Seller is full: 16 of 16 bytes";
        QTest::newRow("note, 64 bytes") << 4 << "" << 0 << "paste" << nine.repeated(4) << nine.repeated(4).left(32)
                                        << "Maintained Description is full: 64 of 64 bytes";
        QTest::newRow("note, one byte left") << 4 << QString(63, u'x') << 63 << "commit" << "中"
                                             << QString(63, u'x') << "Maintained Description is full: 63 of 64 bytes";
        QTest::newRow("Chinese interface") << 9 << "" << 0 << "type" << QString(17, u'a') << QString(16, u'a')
                                           << QStringLiteral("入库时间已满：16/16 字节");
    }

    void typingAndPastingStopAtTheRadiosBytes()
    {
        QFETCH(int, field);
        QFETCH(QString, before);
        QFETCH(int, caret);
        QFETCH(QString, how);
        QFETCH(QString, input);
        QFETCH(QString, after);
        QFETCH(QString, full);
        const bool chinese = full.contains(QStringLiteral("已满"));
        const InterfaceTranslations translations(QLocale(chinese ? "zh_CN" : "en_US"));
        World world(chinese ? "zh_CN" : "en_US");
        QSignalSpy signs(world.frm.findChild<FullFieldSign *>(), &FullFieldSign::Shown);
        QWidget *edit = world.frm.Text1(field);
        edit->setEnabled(true);
        QVERIFY(world.ShowActive());
        world.frm.SetText1Text(field, before);
        edit->setFocus();
        if (field == FrmMain::MaintenanceDateField && before.isEmpty()) // filled on arrival
            QCOMPARE(world.frm.Text1Text(field), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        if (auto *line = qobject_cast<QLineEdit *>(edit); line && caret >= 0)
            line->setCursorPosition(caret);
        else if (caret >= 0)
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);

        if (how == QLatin1String("type")) {
            QTest::keyClicks(edit, input);
        } else if (how == QLatin1String("commit")) {
            for (const QChar ch : input) {
                QInputMethodEvent commit;
                commit.setCommitString(ch);
                QApplication::sendEvent(edit, &commit);
            }
        } else {
            QApplication::clipboard()->setText(input);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(world.frm.Text1Text(field), after);
        QCoreApplication::processEvents(); // the sign follows the refused edit
        const auto beeped = [](const QList<QVariant> &sign) { return sign.at(1).toBool(); };
        QCOMPARE(std::count_if(signs.begin(), signs.end(), beeped), qsizetype(!full.isEmpty()));
        QCOMPARE(signs.isEmpty() ? QString() : QToolTip::text(),
                 full.contains("%1") ? full.arg(edit->accessibleName()) : full);
    }

    void wholeTextSelectedOnlyOnArrival_data()
    {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<bool>("selected");
        QTest::newRow("Tab") << Qt::TabFocusReason << true;
        QTest::newRow("Shift+Tab") << Qt::BacktabFocusReason << true;
        QTest::newRow("click") << Qt::MouseFocusReason << true;
        QTest::newRow("mnemonic") << Qt::ShortcutFocusReason << true;
        QTest::newRow("context menu closed") << Qt::PopupFocusReason << false;
        QTest::newRow("window activated again") << Qt::ActiveWindowFocusReason << false;
    }

    void wholeTextSelectedOnlyOnArrival()
    {
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, selected);
        World world;
        QVERIFY(world.ShowActive());
        auto *dealer = qobject_cast<QLineEdit *>(world.frm.Text1(8));
        dealer->setText(QStringLiteral("Dealer"));
        dealer->setCursorPosition(2);
        world.frm.Text1(9)->setFocus();

        dealer->setFocus(reason);

        QCOMPARE(dealer->selectedText(), selected ? QStringLiteral("Dealer") : QString());
        if (!selected) // so a paste from the context menu lands at the caret
            QCOMPARE(dealer->cursorPosition(), 2);
    }
};

QTEST_MAIN(TestFieldEntry)
#include "tst_fieldentry.moc"
