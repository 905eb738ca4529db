#include "../app/portworld.h"
#include "app/program.h"
#include "app/versionquery.h"
#include "record/catalogue.h"
#include "support/scriptedmessageboxes.h"

#include "simulatedradio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QtTest>

#include <memory>

using namespace kelvra;
using kelvra::testing::PortWorld;

namespace {

constexpr int AliasNo = 7;
constexpr int SilentRadioMs = 8000; // three 1500 ms program-mode waits with room to spare

// Texts as the radio stores them: GBK, zero-filled to the field's width.
// Built here, not with the program's codec, so that a shared fault cannot pass.
void Put(QByteArray &image, int offset, int width, const QString &text)
{
    QStringEncoder gbk("GBK");
    const QByteArray bytes = gbk.encode(text);
    Q_ASSERT(bytes.size() <= width);
    image.replace(offset, width, bytes.leftJustified(width, '\0'));
}

QByteArray BenchRadioImage()
{
    QByteArray image(256, '\0');
    for (int i = 0; i < 256; ++i)
        image[i] = char(i * 37 + 11); // bytes no field claims must come back as they were
    image.replace(0, 7, "KR350UV");
    image[7] = 3;                    // band code
    image.replace(9, 4, "0595");
    image[13] = char(0x80 | 0x20 | 0x04); // five-tone, DTMF, band setting
    image[14] = 0x01;                 // kill
    Put(image, 16, 16, QStringLiteral("SN20261205000042"));
    Put(image, 32, 16, QStringLiteral("2026-11-20"));
    Put(image, 48, 8, QStringLiteral("11-1-E-1"));
    Put(image, 56, 4, QStringLiteral("001A"));
    Put(image, 60, 4, QStringLiteral("4321"));
    Put(image, 64, 16, QStringLiteral("2026-12-01"));
    Put(image, 80, 16, QStringLiteral("华南经销商"));
    Put(image, 96, 16, QStringLiteral("2026-11-28"));
    Put(image, 112, 16, QStringLiteral("2026-12-03"));
    Put(image, 128, 16, QStringLiteral("张伟"));
    Put(image, 144, 64, QStringLiteral("更换天线, battery checked"));
    return image;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortWorld> m_world;
    std::unique_ptr<radiosim::SimulatedRadio> m_radio;
    HostVersionQuery m_version;
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<Program> m_program;

    FrmMain &Window() { return m_program->Window(); }

    void StartProgram()
    {
        ProgramEnvironment environment;
        environment.appDir = m_world->AppDir();
        environment.sysTtyRoot = m_world->SysRoot();
        environment.devRoot = m_world->DevRoot();
        environment.versionQuery = &m_version;
        environment.messageBoxes = &m_boxes;
        environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        m_program = std::make_unique<Program>(environment);
        m_program->Form_Load();
        Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void Retype(int index, const QString &text)
    {
        auto *field = qobject_cast<QLineEdit *>(Window().Text1(index));
        QVERIFY(field);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(field, c.toLatin1());
            } else {
                // Chinese arrives the way an input method delivers it: committed text.
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(field, &commit);
            }
        }
        QCOMPARE(field->text(), text);
    }

private slots:
    void init()
    {
        m_world = std::make_unique<PortWorld>();
        m_radio = std::make_unique<radiosim::SimulatedRadio>();
        QString error;
        QVERIFY2(m_radio->Start(&error), qPrintable(error));
        QVERIFY2(m_radio->MakeAlias(m_world->PortsDir(), AliasNo, &error), qPrintable(error));
        m_radio->SetModelBytes("KR350UV");
        m_radio->SetImage(BenchRadioImage());
        m_boxes = ScriptedMessageBoxes();
        StartProgram();
        QCOMPARE(Window().Combo2()->currentText(), QStringLiteral("COM7"));
    }

    void cleanup()
    {
        m_program.reset();
        m_radio.reset();
        m_world.reset();
    }

    void readShowsTheRadioAsItHoldsIt()
    {
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);

        QTRY_COMPARE(m_boxes.texts(), QStringList{QStringLiteral("Read Complete!")});
        QVERIFY(!m_program->SerialPort().PortOpen());
        QCOMPARE(m_radio->Frames().size(), 11);

        const QStringList expected{
            "0595", "SN20261205000042", "2026-11-20", "2026-12-01", "更换天线, battery checked", "V1.00",
            "11-1-E-1", "001A", "华南经销商", "2026-11-28", "2026-12-03", "张伟", "4321"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(Window().Text1Text(i), expected.at(i));
        QCOMPARE(Window().Combo1(0)->currentText(), QStringLiteral("KR350UV"));
        QCOMPARE(Window().Combo1(1)->currentText(), BandTextOfCode(3));
        QCOMPARE(Window().Combo3()->currentIndex(), 3);
        const bool ticked[] = {true, false, true, true, false, false, false, true};
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(Window().Check(n)->isChecked(), ticked[n - 1]);
    }

    void writeSendsTheDealerPartAndNothingElse()
    {
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QTRY_COMPARE(m_boxes.texts(), QStringList{QStringLiteral("Read Complete!")});
        m_boxes.shown.clear();

        Retype(8, QStringLiteral("东莞二级经销"));
        Retype(9, QStringLiteral("2026-12-06"));
        Retype(10, QStringLiteral("2026-12-07"));
        Retype(11, QStringLiteral("Wang Fang"));
        Retype(12, QStringLiteral("9876"));
        QTest::mouseClick(Window().Check(8), Qt::LeftButton); // band setting off
        const QString newBand = BandTextOfCode(5);
        Window().Combo1(1)->setCurrentIndex(Window().Combo1(1)->findText(newBand));
        Window().Combo1_Click(1);
        m_boxes.answers = {true}; // keep the window's band
        m_radio->ClearFrames();

        QTest::mouseClick(Window().Command2(), Qt::LeftButton);

        QTRY_COMPARE(m_boxes.texts().size(), 2);
        QCOMPARE(m_boxes.texts().constLast(), QStringLiteral("Write Complete!"));
        QCOMPARE(m_boxes.shown.constFirst().buttons, MessageBoxes::Buttons::OkCancel);

        QByteArray expected = BenchRadioImage();
        expected[7] = 5;
        expected[13] = char(0x80 | 0x20);
        Put(expected, 60, 4, QStringLiteral("9876"));
        Put(expected, 80, 16, QStringLiteral("东莞二级经销"));
        Put(expected, 96, 16, QStringLiteral("2026-12-06"));
        Put(expected, 112, 16, QStringLiteral("2026-12-07"));
        Put(expected, 128, 16, QStringLiteral("Wang Fang"));
        QCOMPARE(m_radio->Image().toHex(' '), expected.toHex(' '));
    }

    void silentRadioEndsInReadFailure()
    {
        m_radio->SetFaults({radiosim::FaultRule{radiosim::Fault::Ignore, radiosim::Request::Any, -1, -1}});

        QTest::mouseClick(Window().Command1(), Qt::LeftButton);

        QTRY_COMPARE_WITH_TIMEOUT(m_boxes.texts(), QStringList{QStringLiteral("Read Failure!")}, SilentRadioMs);
        QCOMPARE(m_radio->Frames().size(), 3); // "PROGRAM", sent three times
        // A new press works without restarting the program.
        m_radio->SetFaults({});
        m_boxes.shown.clear();
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QTRY_COMPARE(m_boxes.texts(), QStringList{QStringLiteral("Read Complete!")});
    }

    void portThatIsNoDeviceSaysWhy()
    {
        m_world->AddAlias(3, m_world->MakeTarget(QStringLiteral("not-a-tty")));
        m_program->Ports().ReShowComPortTimer_Timer();
        Window().Combo2()->setFocus();
        QTest::keyClick(Window().Combo2(), Qt::Key_Home); // the operator picks COM3
        QCOMPARE(m_program->ComPortNo(), qint16(3));

        QTest::mouseClick(Window().Command1(), Qt::LeftButton);

        QCOMPARE(m_boxes.texts(), QStringList{QStringLiteral("Cannot Open Communication Port.")});
        QCOMPARE(m_boxes.shown.constFirst().icon, Operator::Icon::Critical);
        QVERIFY(!m_boxes.shown.constFirst().detail.isEmpty());
        QVERIFY(m_radio->Frames().isEmpty());
    }

    void exitDuringReadClosesThePortQuietly()
    {
        m_radio->SetReplyDelay(400);
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QVERIFY(m_program->SerialPort().PortOpen());
        QVERIFY(m_program->WaitTimer().Enabled());

        QTest::mouseClick(Window().Command3(), Qt::LeftButton);

        QVERIFY(!Window().isVisible());
        QVERIFY(!m_program->SerialPort().PortOpen());
        QVERIFY(!m_program->WaitTimer().Enabled());
        QVERIFY(!m_program->Ports().ReShowComPortTimer().isActive());
        QVERIFY(m_boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
