#include "app/program.h"
#include "app/versionquery.h"
#include "portworld.h"
#include "support/scriptedmessageboxes.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <optional>

using namespace kelvra;
using kelvra::testing::PortWorld;

namespace {

class FakeVersionQuery : public VersionQuery
{
public:
    explicit FakeVersionQuery(std::optional<OsVersion> answer) : m_answer(answer) {}
    bool Query(OsVersion *answer) const override
    {
        if (m_answer)
            *answer = *m_answer;
        return m_answer.has_value();
    }

private:
    std::optional<OsVersion> m_answer;
};

const OsVersion Nt60{2, 6, 0};
const OsVersion Nt61{2, 6, 1};

} // namespace

Q_DECLARE_METATYPE(std::optional<kelvra::OsVersion>)

class TestStartup : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortWorld> m_world;
    std::unique_ptr<FakeVersionQuery> m_version;
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<Program> m_program;

    Program &Start(std::optional<OsVersion> version = OsVersion{})
    {
        m_version = std::make_unique<FakeVersionQuery>(version);
        ProgramEnvironment environment;
        environment.appDir = m_world->AppDir();
        environment.sysTtyRoot = m_world->SysRoot();
        environment.devRoot = m_world->DevRoot();
        environment.versionQuery = m_version.get();
        environment.messageBoxes = &m_boxes;
        environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        m_program = std::make_unique<Program>(environment);
        m_program->Form_Load();
        return *m_program;
    }

    QComboBox *Combo2() { return m_program->Window().Combo2(); }

    static QStringList Entries(const QComboBox *list)
    {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }

private slots:
    void init()
    {
        m_world = std::make_unique<PortWorld>();
        m_boxes = ScriptedMessageBoxes();
    }

    void cleanup()
    {
        m_program.reset();
        m_world.reset();
    }

    void devicesPresentSettleTheSavedPort_data()
    {
        QTest::addColumn<QByteArray>("settings"); // NoFile() for none
        QTest::addColumn<QList<int>>("usb");      // ttyUSB<k> is COM<k+1>
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QByteArray>("settingsAfter");

        const QByteArray com3 = "[language]\ncomPort=3\n";
        QTest::newRow("saved port present") << com3 << QList<int>{4, 2} << "COM3" << com3;
        QTest::newRow("saved port gone: first port taken and stored")
            << com3 << QList<int>{6, 4} << "COM5" << QByteArray("[language]\ncomPort=5\n");
        QTest::newRow("no port: nothing selected, file untouched") << com3 << QList<int>{} << "" << com3;
        QTest::newRow("no file, no port: none created") << PortWorld::NoFile() << QList<int>{} << ""
                                                        << PortWorld::NoFile();
        QTest::newRow("no file") << PortWorld::NoFile() << QList<int>{1} << "COM2"
                                 << QByteArray("[language]\ncomPort=2\n");
        QTest::newRow("saved 0") << QByteArray("[language]\ncomPort=0\n") << QList<int>{1, 0} << "COM1"
                                 << QByteArray("[language]\ncomPort=1\n");
        QTest::newRow("empty value") << QByteArray("[language]\ncomPort=\n") << QList<int>{1} << "COM2"
                                     << QByteArray("[language]\ncomPort=2\n");
        QTest::newRow("not a number") << QByteArray("[language]\ncomPort=COM3\n") << QList<int>{2} << "COM3"
                                      << QByteArray("[language]\ncomPort=3\n");
        QTest::newRow("past 16 bits names no port")
            << QByteArray("[language]\ncomPort=65539\n") << QList<int>{2, 0} << "COM1"
            << QByteArray("[language]\ncomPort=1\n");
        QTest::newRow("negative") << QByteArray("[language]\ncomPort=-3\n") << QList<int>{2} << "COM3"
                                  << QByteArray("[language]\ncomPort=3\n");
        QTest::newRow("other keys and sections survive")
            << QByteArray("; pinned\n[language]\nui=zh\ncomPort=9\n[x]\ny=1\n") << QList<int>{1} << "COM2"
            << QByteArray("; pinned\n[language]\nui=zh\ncomPort=2\n[x]\ny=1\n");
    }

    void devicesPresentSettleTheSavedPort()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, usb);
        QFETCH(QString, selected);
        QFETCH(QByteArray, settingsAfter);
        if (settings != PortWorld::NoFile())
            m_world->PutSettings(settings);
        for (int k : usb)
            m_world->PlugUsb(k);

        Program &program = Start();

        QVERIFY(!program.UseFixedPortList());
        QCOMPARE(Combo2()->currentText(), selected);
        QCOMPARE(Combo2()->currentIndex() >= 0, !selected.isEmpty());
        QCOMPARE(int(program.ComPortNo()), selected.isEmpty() ? 0 : selected.mid(3).toInt());
        QCOMPARE(m_world->Settings(), settingsAfter);
        QVERIFY(program.Ports().ReShowComPortTimer().isActive());
        QVERIFY(m_boxes.shown.isEmpty());
    }

    void unwritableSettingsDoNotStopStartup()
    {
        QVERIFY(QDir().mkpath(m_world->SettingsPath())); // a folder where the file should be
        m_world->PlugUsb(4);

        Program &program = Start();

        QCOMPARE(Combo2()->currentText(), QStringLiteral("COM5"));
        QCOMPARE(int(program.ComPortNo()), 5);
        QVERIFY(program.Ports().ReShowComPortTimer().isActive());
    }

    void devicesAreListedInPortOrderWithDetails()
    {
        m_world->PlugUsb(11, "FT232R USB UART", "A50285BI");
        m_world->PlugUsb(0);
        m_world->AddAlias(7, m_world->MakeTarget(QStringLiteral("cable")));
        Start();

        QCOMPARE(Entries(Combo2()), (QStringList{"COM1", "COM7", "COM12"}));
        const QString tip = Combo2()->itemData(2, Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains(m_world->DevRoot() + QStringLiteral("/ttyUSB11")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("FT232R USB UART")));
        QVERIFY(tip.contains(QStringLiteral("Bench Cables")));
        QVERIFY(tip.contains(QStringLiteral("A50285BI")));
        QVERIFY(Combo2()->itemData(1, Qt::ToolTipRole).toString().endsWith(QStringLiteral("/cable")));
    }

    void fixedListOnNt60_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("written");

        QTest::newRow("7") << QByteArray("7") << "COM7" << true;
        QTest::newRow("256") << QByteArray("256") << "COM256" << true;
        QTest::newRow("0") << QByteArray("0") << "" << false;
        QTest::newRow("past the list") << QByteArray("300") << "" << false;
        QTest::newRow("garbage") << QByteArray("x7") << "" << false;
    }

    void fixedListOnNt60()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, selected);
        QFETCH(bool, written);
        // A device present must not matter in fixed-list mode.
        m_world->PlugUsb(0);
        // A spelling the writer would change shows whether the file was written.
        const QByteArray before = "[language]\ncomPort = " + value + '\n';
        m_world->PutSettings(before);

        Program &program = Start(Nt60);

        QVERIFY(program.UseFixedPortList());
        QCOMPARE(Combo2()->count(), 256);
        QCOMPARE(Combo2()->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(Combo2()->itemText(255), QStringLiteral("COM256"));
        QCOMPARE(Combo2()->currentText(), selected);
        QCOMPARE(int(program.ComPortNo()), selected.isEmpty() ? 0 : selected.mid(3).toInt());
        QCOMPARE(m_world->Settings(), written ? "[language]\ncomPort=" + value + '\n' : before);
        QVERIFY(!program.Ports().ReShowComPortTimer().isActive());
    }

    void otherSystemsAndFailedQueryUseDevices_data()
    {
        QTest::addColumn<std::optional<OsVersion>>("version");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("NT 6.1") << std::optional<OsVersion>(Nt61) << QStringList();
        QTest::newRow("6.0 of another family") << std::optional<OsVersion>(OsVersion{1, 6, 0}) << QStringList();
        QTest::newRow("query fails") << std::optional<OsVersion>() << QStringList{QStringLiteral("未知操作系统")};
    }

    void otherSystemsAndFailedQueryUseDevices()
    {
        QFETCH(std::optional<OsVersion>, version);
        QFETCH(QStringList, messages);
        m_world->PlugUsb(2);

        Program &program = Start(version);

        QVERIFY(!program.UseFixedPortList());
        QCOMPARE(Entries(Combo2()), QStringList{QStringLiteral("COM3")});
        QCOMPARE(m_boxes.texts(), messages);
        for (const ScriptedMessageBoxes::Box &box : std::as_const(m_boxes.shown)) {
            QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
            QCOMPARE(box.icon, Operator::Icon::None);
        }
    }

    void hostIsNeverNt60()
    {
        OsVersion version;
        QVERIFY(HostVersionQuery().Query(&version));
        QVERIFY(!UsesFixedPortList(version));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
