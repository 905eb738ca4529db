// Writes from the window to the simulated radio over a pseudo-terminal:
// what goes out, when the operator is asked first, and a restore from the history.
#include "e2eworld.h"
#include "record/catalogue.h"
#include "ui/historywindow.h"

#include <QCheckBox>
#include <QInputMethodEvent>
#include <QPushButton>

#include <algorithm>

using namespace kelvra;
using namespace kelvra::testing;

class TestEndToEndWrite : public QObject, private E2EWorld
{
    Q_OBJECT

    // Arriving in a field selects its text, so the typing replaces it.
    void Retype(int index, const QString &text)
    {
        QWidget *field = Window().Text1(index);
        field->setFocus();
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(field, c.toLatin1());
            } else { // as an input method commits Chinese
                QInputMethodEvent commit;
                commit.setCommitString(c);
                QApplication::sendEvent(field, &commit);
            }
        }
        QCOMPARE(Window().Text1Text(index), text);
    }

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void writeSendsTheDealerPartAndNothingElse()
    {
        Read();
        const HeldText typed[] = {{8, 80, 16, u"东莞二级经销"}, {9, 96, 16, u"2026-12-06"}, {10, 112, 16, u"2026-12-07"},
                                   {11, 128, 16, u"  Wang Fang"}, // leading blanks are the dealer's to keep
                                   {12, 60, 4, u"9876"}};
        QByteArray expected = BenchRadioImage();
        for (const auto &t : typed) {
            Retype(t.field, QString::fromUtf16(t.text));
            Put(expected, t.offset, t.width, QString::fromUtf16(t.text));
        }
        QTest::mouseClick(Window().Check(8), Qt::LeftButton); // band setting off
        Window().Combo1(1)->setCurrentIndex(Window().Combo1(1)->findText(BandTextOfCode(5)));
        m_world->boxes.answers = {true}; // keep the window's band

        QTest::mouseClick(Window().Command2(), Qt::LeftButton);

        QTRY_COMPARE(Shown(), (QStringList{QStringLiteral("Frequencys is different. Overwrite?"),
                                           QStringLiteral("Write Complete!")}));
        // The operator answers the question with the normal pointer; the end comes after the busy cursor.
        QVERIFY(!m_world->boxes.shown.at(0).busyCursor && !m_world->boxes.shown.at(1).busyCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
        expected[7] = 5;
        expected[13] = char(0x80 | 0x20);
        QCOMPARE(m_radio->Image().toHex(' '), expected.toHex(' '));
    }

    // Values the form did not get from the radio on the cable are written
    // only when the operator says so, having seen what would change.
    void writeAsksUnlessTheFormIsThisRadios_data()
    {
        QTest::addColumn<QString>("before"); // start-up, read, another radio since the read, a failed read
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("locale");
        const auto asked = [](const char *serial, const QString &changes) {
            return QString("The values in the form were not read from the radio on the cable: KR350UV, serial number "
                           "%1. Writing them would change:\n\n%2\n\nWrite these values to this radio?")
                .arg(serial, changes);
        };
        const QString typed = "Dealer Code: 华南经销商 → D-0042";
        const QString startUp = asked("SN20261205000042",
                                      "Frequency: " + BandTextOfCode(3) + " → " + BandTextOfCode(0)
                                          + "\nFreq. Set: on → off\nProgram PassWord: 4321 → (empty)\n" + typed
                                          + "\nStock Date: 2026-11-28 → (empty)\nSell Date: 2026-12-03 → (empty)"
                                            "\nSeller: 张伟 → (empty)");
        const QString english = "en_US";
        QTest::newRow("after start-up, No: nothing written")
            << "start" << QList<bool>{false} << startUp << false << english;
        QTest::newRow("after start-up, Yes: the band question, written")
            << "start" << QList<bool>{true, true} << startUp << true << english;
        QTest::newRow("after a read of this radio: not asked")
            << "read" << QList<bool>{} << QString() << true << english;
        QTest::newRow("another radio since the read, No")
            << "other" << QList<bool>{false} << asked("SN20261205000099", typed) << false << english;
        QTest::newRow("after a failed read, No")
            << "failed" << QList<bool>{false} << asked("SN20261205000042", typed) << false << english;
        QTest::newRow("another radio, in Chinese")
            << "other" << QList<bool>{false}
            << "表单中的数值不是从所连接的电台读出的：KR350UV，序列号 SN20261205000099。写入将会改变：\n\n"
               "经销商代码：华南经销商 → D-0042\n\n是否将这些数值写入这台电台？"
            << false << "zh_CN";
    }

    void writeAsksUnlessTheFormIsThisRadios()
    {
        QFETCH(QString, before);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, question);
        QFETCH(bool, written);
        QFETCH(QString, locale);
        ShowProgram(QLocale(locale));
        QByteArray radio = BenchRadioImage();
        if (before != "start")
            Read();
        if (before == "other") {
            Put(radio, 16, 16, QStringLiteral("SN20261205000099"));
            m_radio->SetImage(radio);
        } else if (before == "failed") {
            m_radio->SetFaults({radiosim::FaultRule{radiosim::Fault::BadChecksum, radiosim::Request::ReadBlock, -1}});
            QTest::mouseClick(Window().Command1(), Qt::LeftButton);
            QTRY_COMPARE(Shown(), QStringList{QStringLiteral("Read Failure!")});
            m_radio->SetFaults({});
            m_world->boxes.shown.clear();
        }
        Retype(8, QStringLiteral("D-0042"));
        m_radio->ClearFrames();
        m_world->boxes.answers = answers;

        QTest::mouseClick(Window().Command2(), Qt::LeftButton);

        QTRY_VERIFY(Shown().contains("Write Complete!") || Shown().contains("Write Failure!"));
        QStringList boxes = question.isEmpty() ? QStringList() : QStringList{question};
        if (written && before == "start")
            boxes << "Frequencys is different. Overwrite?";
        QCOMPARE(Shown(), boxes << (written ? "Write Complete!" : "Write Failure!"));
        if (!question.isEmpty()) {
            const ScriptedMessageBoxes::Box &asking = m_world->boxes.shown.constFirst();
            QCOMPARE(asking.buttons, MessageBoxes::Buttons::YesNo); // No the default
            QCOMPARE(asking.icon, Operator::Icon::Exclamation);
            QVERIFY(!asking.busyCursor);
        }
        QByteArray held = radio;
        if (written) {
            Put(held, 80, 16, QStringLiteral("D-0042"));
            if (before == "start") { // the start-up form's own values
                held[7] = 0;
                held[13] = char(held.at(13) & ~0x04);
                for (const auto &[offset, width] : {std::pair{60, 4}, {96, 16}, {112, 16}, {128, 16}})
                    Put(held, offset, width, QString());
            }
        }
        QCOMPARE(m_radio->Image().toHex(' '), held.toHex(' '));
        QVERIFY(std::none_of(m_radio->Frames().begin(), m_radio->Frames().end(),
                             [&](const radiosim::ReceivedFrame &f) { return f.bytes.startsWith('W') && !written; }));
    }

    // A write's old values from the history: refused for a radio with
    // another serial number before any block is written, written to their own.
    void restorePutsTheOldValuesBack()
    {
        Read();
        Retype(8, QStringLiteral("D-0042"));
        QTest::mouseClick(Window().Command2(), Qt::LeftButton);
        QTRY_COMPARE(Shown(), QStringList{QStringLiteral("Write Complete!")});
        const QByteArray written = m_radio->Image();
        QTest::mouseClick(Window().Command4(), Qt::LeftButton);
        HistoryWindow *history = m_program->History()->Window();
        QVERIFY(history && history->isVisible());
        history->findChild<QPushButton *>("restore")->click(); // the write, newest

        QByteArray other = written;
        Put(other, 16, 16, QStringLiteral("SN20261205000099"));
        // While a write runs, no values can be put into the form it is taking them from.
        auto *restore = history->findChild<QPushButton *>("restore");
        QList<bool> restorable;
        connect(m_radio.get(), &radiosim::SimulatedRadio::FrameReceived, this,
                [&] { restorable << restore->isEnabled(); });
        for (const QByteArray &radio : {other, written}) {
            m_radio->SetImage(radio);
            m_world->boxes.shown.clear();
            QTest::mouseClick(Window().Command2(), Qt::LeftButton);
            QTRY_COMPARE(Shown().size(), 1);
        }
        QVERIFY(!restorable.isEmpty() && !restorable.contains(true));
        QVERIFY(restore->isEnabled());
        QCOMPARE(m_radio->Image(), BenchRadioImage()); // every old value back
        // Newest first: the restoring write, the refused one, the write and the read.
        const QList<HistoryEntry> entries = m_program->History()->Store().List({});
        QCOMPARE(entries.size(), 4);
        const HistoryEntry &refused = entries.at(1);
        QVERIFY2(refused.detail.contains("radio SN20261205000042")
                     && refused.detail.contains("connected is SN20261205000099"),
                 qPrintable(refused.detail));
        // No block went out: every byte it knew after, it knew before.
        QVERIFY(refused.after == refused.before);
        QCOMPARE(refused.restoredFrom, entries.at(2).uuid);
    }
};

QTEST_MAIN(TestEndToEndWrite)
#include "tst_endtoend_write.moc"
