// The whole program against the simulated radio over a pseudo-terminal,
// reached the way a person reaches it: through a port alias.
#include "../app/appworld.h"
#include "record/catalogue.h"
#include "ui/historywindow.h"
#include "ui/statusline.h"

#include "simulatedradio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>

using namespace kelvra;
using kelvra::testing::AppWorld;

namespace {

// Texts as the radio stores them: GBK, zero-filled to the field's width.
// Built here, not with the program's codec, so that a shared fault cannot pass.
void Put(QByteArray &image, int offset, int width, const QString &text)
{
    const QByteArray bytes = QStringEncoder("GBK").encode(text);
    image.replace(offset, width, bytes.leftJustified(width, '\0'));
}

// A text field, where the radio holds its text, and the command line's name for it.
struct HeldText
{
    int field, offset, width;
    const char16_t *text;
    const char *key = "";
};

const HeldText Held[] = {
    {0, 9, 4, u"0595", "areaCode"},          {1, 16, 16, u"SN20261205000042", "serialNumber"},
    {2, 32, 16, u"2026-11-20", "producedDate"}, {6, 48, 8, u"11-1-E-1", "manufactureCode"},
    {7, 56, 4, u"001A", "userCode"},         {12, 60, 4, u"4321", "password"},
    {3, 64, 16, u"2026-12-01", "maintainedDate"}, {8, 80, 16, u"华南经销商", "dealerCode"},
    {9, 96, 16, u"2026-11-28", "stockDate"},  {10, 112, 16, u"2026-12-03", "sellDate"},
    {11, 128, 16, u"张伟", "seller"},         {4, 144, 64, u"更换天线, battery checked", "maintenanceNote"},
};

// What an entry holds but its uuid, time and place in the file.
QStringList Contents(const HistoryEntry &e)
{
    return {OperationWord(e.operation), ResultWord(e.result), e.message, e.detail, e.portName, e.devicePath,
            e.adapterSerial, e.model, e.serialNumber, e.before.StoredBytes().toHex(), e.before.StoredMask().toHex(),
            e.after.StoredBytes().toHex(), e.after.StoredMask().toHex(), e.changedFields.join(','), e.bench,
            e.restoredFrom};
}

QByteArray BenchRadioImage()
{
    QByteArray image(256, '\0');
    for (int i = 0; i < 256; ++i)
        image[i] = char(i * 37 + 11); // bytes no field claims must come back as they were
    image.replace(0, 7, "KR350UV");
    image[7] = 3;                         // band code
    image[13] = char(0x80 | 0x20 | 0x04); // five-tone, DTMF, band setting
    image[14] = 0x01;                     // kill
    for (const auto &held : Held)
        Put(image, held.offset, held.width, QString::fromUtf16(held.text));
    return image;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppWorld> m_world;
    std::unique_ptr<radiosim::SimulatedRadio> m_radio;
    Program *m_program = nullptr;

    FrmMain &Window() { return m_program->Window(); }
    QStringList Shown() const { return m_world->boxes.texts(); }

    void Read()
    {
        m_world->boxes.shown.clear();
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QTRY_COMPARE(Shown(), QStringList{QStringLiteral("Read Complete!")});
        m_world->boxes.shown.clear();
    }

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

    // The program on an English or Chinese system, its window shown.
    void ShowProgram(const QLocale &locale)
    {
        m_program = &m_world->Start(nullptr, locale);
        Window().show();
        QApplication::setActiveWindow(&Window());
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QCOMPARE(Window().Combo2()->currentText(), QStringLiteral("COM7"));
    }

private slots:
    void init()
    {
        m_world = std::make_unique<AppWorld>();
        m_radio = std::make_unique<radiosim::SimulatedRadio>();
        QString error;
        QVERIFY2(m_radio->Start(&error) && m_radio->MakeAlias(m_world->PortsDir(), 7, &error), qPrintable(error));
        m_radio->SetModelBytes("KR350UV");
        m_radio->SetImage(BenchRadioImage());
        ShowProgram(QLocale(QLocale::English, QLocale::UnitedStates));
        // The closed port box names the device behind the port.
        QVERIFY2(Window().Combo2()->toolTip().startsWith(QLatin1String("/dev/")), qPrintable(Window().Combo2()->toolTip()));
    }

    bool BusyCursor() const
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor;
    }

    void cleanup()
    {
        m_world.reset();
        m_radio.reset();
    }

    void readShowsTheRadioAsItHoldsIt()
    {
        Read();

        QVERIFY(!m_program->SerialPort().PortOpen());
        for (const auto &held : Held)
            QCOMPARE(Window().Text1Text(held.field), QString::fromUtf16(held.text));
        QCOMPARE(Window().Combo1(1)->currentText(), BandTextOfCode(3));
        const bool ticked[] = {true, false, true, true, false, false, false, true};
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(Window().Check(n)->isChecked(), ticked[n - 1]);
    }

    // The same radio read by a command and by the window: the same fields,
    // and entries that differ only in their uuid and time.
    void commandLineReadsAsTheWindowDoes()
    {
        const QString exe = m_world->AppDir() + "/KelvraSet";
        QVERIFY(QFile::copy(KELVRA_EXECUTABLE, exe));
        QProcess command; // a portable copy: the window's history is beside it
        command.start(exe, {"read", "--port", "COM7", "--json"});
        // The radio answers from this process's event loop.
        QTRY_VERIFY_WITH_TIMEOUT(command.state() == QProcess::NotRunning, 20000);
        QCOMPARE(command.exitCode(), 0);
        const QJsonObject radio = QJsonDocument::fromJson(command.readAllStandardOutput())["radio"].toObject();
        Read();

        for (const auto &held : Held)
            QCOMPARE(radio[held.key].toString(), Window().Text1Text(held.field));
        QCOMPARE(radio["band"].toString(), Window().Combo1(1)->currentText());
        QCOMPARE(radio["model"].toString(), Window().Combo1(0)->currentText());
        const QList<HistoryEntry> entries = m_program->History()->Store().List({});
        QCOMPARE(entries.size(), 2);
        QCOMPARE(Contents(entries.at(0)), Contents(entries.at(1)));
    }

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

    void silentRadioEndsInReadFailure()
    {
        m_radio->SetFaults({radiosim::FaultRule{radiosim::Fault::Ignore, radiosim::Request::Any, -1, -1}});

        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QVERIFY(BusyCursor());

        // Three 1500 ms waits for the program-mode answer, with room to spare.
        QTRY_COMPARE_WITH_TIMEOUT(Shown(), QStringList{QStringLiteral("Read Failure!")}, 8000);
        QVERIFY(!m_world->boxes.shown.constFirst().busyCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
        // The next press works without a restart.
        m_radio->SetFaults({});
        Read();
    }

    void statusLineSaysWhatIsUnderWay_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("shown"); // as the radio gets each frame, '|' between them
        QTest::newRow("read, block 3 sent again") << "en_US" << false << "repeat:readblock@2"
            << "Entering programming mode...|Identifying the radio...|Reading block 1 of 8|Reading block 2 of 8|"
               "Reading block 3 of 8|Reading block 3 of 8 (sent again: 1)|Reading block 4 of 8|Reading block 5 of 8|"
               "Reading block 6 of 8|Reading block 7 of 8|Reading block 8 of 8|Leaving programming mode...";
        QTest::newRow("write in Chinese, block 2 sent again") << "zh_CN" << true << "repeat:writeblock@1"
            << "正在进入编程模式……|正在识别电台……|写入前读取第 1 块（共 5 块）|写入前读取第 2 块（共 5 块）|"
               "写入前读取第 3 块（共 5 块）|写入前读取第 4 块（共 5 块）|写入前读取第 5 块（共 5 块）|正在写入第 1 块（共 5 块）|正在写入第 2 块（共 5 块）|"
               "正在写入第 2 块（共 5 块）（重发 1 次）|正在写入第 3 块（共 5 块）|正在写入第 4 块（共 5 块）|"
               "正在写入第 5 块（共 5 块）|正在回读核对第 1 块（共 5 块）|正在回读核对第 2 块（共 5 块）|"
               "正在回读核对第 3 块（共 5 块）|正在回读核对第 4 块（共 5 块）|正在回读核对第 5 块（共 5 块）|正在退出编程模式……";
    }

    void statusLineSaysWhatIsUnderWay()
    {
        QFETCH(QString, locale);
        QFETCH(bool, write);
        QFETCH(QString, fault);
        QFETCH(QString, shown);
        ShowProgram(QLocale(locale));
        if (write)
            Read(); // the window's band is then the radio's: no band question
        radiosim::FaultRule rule;
        QString error;
        QVERIFY2(radiosim::FaultRule::Parse(fault, &rule, &error), qPrintable(error));
        m_radio->SetFaults({rule});
        QStringList seen, spoken; // what the line shows, and tells a screen reader
        const auto watch = connect(m_radio.get(), &radiosim::SimulatedRadio::FrameReceived, this, [&] {
            seen << Window().Label4()->text();
            spoken << Window().Label4()->accessibleDescription();
        });

        QTest::mouseClick(write ? Window().Command2() : Window().Command1(), Qt::LeftButton);
        QTRY_COMPARE(Shown(), QStringList{QString(write ? "Write Complete!" : "Read Complete!")});

        disconnect(watch);
        // Chinese keeps a number with its word by no-break spaces, should the line wrap.
        QCOMPARE(seen.join('|').replace(QChar(0xA0), ' '), shown);
        // A screen reader is told of each step once: the copy sent again tells it nothing new.
        QCOMPARE(spoken.removeDuplicates(), 1);
        QCOMPARE(Window().Label4()->text() + Window().Label4()->accessibleDescription(), QString());
        QCOMPARE(Window().Label4()->accessibleName(), QString(locale == "zh_CN" ? "状态" : "Status"));
    }

    void portThatIsNoDeviceSaysWhy()
    {
        m_world->Plug(3);
        m_program->Ports().ReShowComPortTimer_Timer();
        Window().Combo2()->setFocus();
        QTest::keyClick(Window().Combo2(), Qt::Key_Home); // the operator picks COM3, which is remembered
        QCOMPARE(m_world->Settings(), QByteArray("[language]\ncomPort=3\n"));

        QTest::mouseClick(Window().Command1(), Qt::LeftButton);

        QCOMPARE(Shown(), QStringList{QStringLiteral("Cannot Open Communication Port.")});
        QCOMPARE(m_world->boxes.shown.constFirst().icon, Operator::Icon::Critical);
        QVERIFY(!m_world->boxes.shown.constFirst().detail.isEmpty());
    }

    void exitDuringAnOperation_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("exitAt"); // Exit is clicked as the radio gets this frame; empty: at once
        QTest::addColumn<bool>("leave");        // the answer to the question
        QTest::addColumn<QString>("boxes");     // all shown, '|' between them
        QTest::newRow("read: closes quietly") << false << QByteArray() << true << QString();
        QTest::newRow("write, nothing sent yet: stays") << true << QByteArray() << false
            << "A write is under way; nothing has been written to the radio yet.\n\nClose anyway?|Write Complete!";
        QTest::newRow("write at block 2: leaves")
            << true << QByteArray::fromHex("5708002002") << true
            << "A write is under way, and closing now ends it here. The radio acknowledged the new band and password "
               "(not read back to check). The radio did not confirm the new dealer code, stock date, sell date and "
               "seller.\n\nClose anyway?";
    }

    void exitDuringAnOperation()
    {
        QFETCH(bool, write);
        QFETCH(QByteArray, exitAt);
        QFETCH(bool, leave);
        QFETCH(QString, boxes);
        auto exit = [this] { QTest::mouseClick(Window().Command3(), Qt::LeftButton); };
        connect(m_radio.get(), &radiosim::SimulatedRadio::FrameReceived, this, [&](const radiosim::ReceivedFrame &f) {
            if (!exitAt.isEmpty() && f.bytes.startsWith(exitAt))
                exit();
        });
        if (write)
            Read(); // the window's band is then the radio's: no band question
        m_world->boxes.answers = {leave};
        QTest::mouseClick(write ? Window().Command2() : Window().Command1(), Qt::LeftButton);
        QVERIFY(m_program->SerialPort().PortOpen() && BusyCursor());
        // A write is never abandoned by a press: its buttons wait for its end.
        QCOMPARE(Window().Command1()->isEnabled() || Window().Command2()->isEnabled(), !write);
        if (exitAt.isEmpty())
            exit();

        QTRY_VERIFY(!Window().isVisible() || Shown().contains(QStringLiteral("Write Complete!")));
        QCOMPARE(Shown().join('|'), boxes);
        // The close question, a Yes/No box, is asked during a write only: a read closes without a box.
        QCOMPARE(!m_world->boxes.shown.isEmpty()
                     && m_world->boxes.shown.constFirst().buttons == MessageBoxes::Buttons::YesNo, write);
        QCOMPARE(Window().isVisible(), !leave);
        QVERIFY(!m_program->SerialPort().PortOpen() && !m_program->WaitTimer().Enabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(Window().Command1()->isEnabled() && Window().Command2()->isEnabled());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
