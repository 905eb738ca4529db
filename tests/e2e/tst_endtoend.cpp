// The whole program against the simulated radio over a pseudo-terminal,
// reached the way a person reaches it: through a port alias.
#include "e2eworld.h"
#include "record/catalogue.h"
#include "ui/historywindow.h"
#include "ui/statusline.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace kelvra;
using namespace kelvra::testing;

namespace {

// What an entry holds but its uuid, time and place in the file.
QStringList Contents(const HistoryEntry &e)
{
    return {OperationWord(e.operation), ResultWord(e.result), e.message, e.detail, e.portName, e.devicePath,
            e.adapterSerial, e.model, e.serialNumber, e.before.StoredBytes().toHex(), e.before.StoredMask().toHex(),
            e.after.StoredBytes().toHex(), e.after.StoredMask().toHex(), e.changedFields.join(','), e.bench,
            e.restoredFrom};
}

} // namespace

class TestEndToEnd : public QObject, private E2EWorld
{
    Q_OBJECT

    bool BusyCursor() const
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor;
    }

private slots:
    void init() { SetUp(); }

    void cleanup() { TearDown(); }

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
