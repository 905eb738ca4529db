#include "app/portlist.h"
#include "link/portdirectory.h"
#include "portworld.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace kelvra;
using kelvra::testing::PortWorld;

class TestPortList : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortWorld> m_world;
    std::unique_ptr<PortDirectory> m_directory;
    std::unique_ptr<QComboBox> m_combo;
    std::unique_ptr<PortList> m_ports;
    qint16 m_comPortNo = 0;

    void Plug(int n) { m_world->AddAlias(n, m_world->MakeTarget(QStringLiteral("dev%1").arg(n))); }

    // The list as start-up leaves it in registry mode: filled and portNo selected.
    void Settle(int portNo)
    {
        m_ports->EnumComPorts(m_combo.get());
        m_comPortNo = qint16(portNo);
        m_ports->SelectPort(portNo);
    }

    QStringList Entries() const
    {
        QStringList entries;
        for (int i = 0; i < m_combo->count(); ++i)
            entries << m_combo->itemText(i);
        return entries;
    }

private slots:
    void init()
    {
        m_world = std::make_unique<PortWorld>();
        m_directory = std::make_unique<PortDirectory>(m_world->PortsDir(), m_world->SysRoot(), m_world->DevRoot());
        m_combo = std::make_unique<QComboBox>();
        m_comPortNo = 0;
        m_ports = std::make_unique<PortList>(m_combo.get(), *m_directory, m_comPortNo, m_world->SettingsPath());
    }

    void cleanup()
    {
        m_ports.reset();
        m_combo.reset();
        m_directory.reset();
        m_world.reset();
    }

    void refreshFollowsPlugAndPull_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<int>>("plugged");
        QTest::addColumn<QList<int>>("pulled");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("selectedAfter");

        QTest::newRow("selected port pulled: first remaining taken")
            << QList<int>{3, 5, 9} << 5 << QList<int>{} << QList<int>{5} << QStringList{"COM3", "COM9"} << "COM3";
        QTest::newRow("another port pulled: selection stays")
            << QList<int>{3, 5, 9} << 5 << QList<int>{} << QList<int>{3} << QStringList{"COM5", "COM9"} << "COM5";
        QTest::newRow("port plugged in before the selected one: selection stays")
            << QList<int>{12} << 12 << QList<int>{4} << QList<int>{} << QStringList{"COM4", "COM12"} << "COM12";
        QTest::newRow("all pulled: nothing selected")
            << QList<int>{3, 5} << 3 << QList<int>{} << QList<int>{3, 5} << QStringList{} << "";
        QTest::newRow("first port after none is taken")
            << QList<int>{} << 0 << QList<int>{8, 6} << QList<int>{} << QStringList{"COM6", "COM8"} << "COM6";
        QTest::newRow("pulled and another plugged in one tick")
            << QList<int>{2} << 2 << QList<int>{999} << QList<int>{2} << QStringList{"COM999"} << "COM999";
    }

    void refreshFollowsPlugAndPull()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, selected);
        QFETCH(QList<int>, plugged);
        QFETCH(QList<int>, pulled);
        QFETCH(QStringList, entries);
        QFETCH(QString, selectedAfter);
        for (int n : before)
            Plug(n);
        Settle(selected);
        for (int n : plugged)
            Plug(n);
        for (int n : pulled)
            m_world->RemoveAlias(n);

        m_ports->ReShowComPortTimer_Timer();

        QCOMPARE(Entries(), entries);
        QCOMPARE(m_combo->currentText(), selectedAfter);
        QCOMPARE(m_combo->currentIndex() >= 0, !selectedAfter.isEmpty());
        QCOMPARE(int(m_comPortNo), selectedAfter.isEmpty() ? 0 : selectedAfter.mid(3).toInt());
        // Only the operator's pick is remembered.
        QCOMPARE(m_world->Settings(), PortWorld::NoFile());
    }

    void aliasWhoseDeviceVanishesIsDropped()
    {
        const QString target = m_world->MakeTarget(QStringLiteral("adapter"));
        m_world->AddAlias(4, target);
        Plug(6);
        Settle(4);
        QVERIFY(QFile::remove(target));

        m_ports->ReShowComPortTimer_Timer();

        QCOMPARE(Entries(), QStringList{QStringLiteral("COM6")});
        QCOMPARE(int(m_comPortNo), 6);
    }

    void pulledUsbAdapterLeavesTheList()
    {
        m_world->PlugUsb(0);
        m_world->PlugUsb(2);
        Settle(1);
        m_world->PullUsb(0);

        m_ports->ReShowComPortTimer_Timer();

        QCOMPARE(Entries(), QStringList{QStringLiteral("COM3")});
        QCOMPARE(int(m_comPortNo), 3);
    }

    void unchangedPortsLeaveAnOpenListAlone()
    {
        Plug(3);
        Plug(5);
        Settle(5);
        m_combo->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_combo.get()));
        m_combo->showPopup();
        QTRY_VERIFY(m_combo->view()->isVisible());
        m_combo->view()->setCurrentIndex(m_combo->model()->index(0, 0)); // the operator hovers COM3
        QSignalSpy removed(m_combo->model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(m_combo->model(), &QAbstractItemModel::modelReset);
        QSignalSpy changed(m_combo.get(), &QComboBox::currentIndexChanged);

        for (int tick = 0; tick < 3; ++tick)
            m_ports->ReShowComPortTimer_Timer();

        QVERIFY(m_combo->view()->isVisible());
        QCOMPARE(m_combo->view()->currentIndex().row(), 0);
        QCOMPARE(m_combo->currentText(), QStringLiteral("COM5"));
        QCOMPARE(removed.count() + reset.count() + changed.count(), 0);

        // A real change still reaches the open list.
        Plug(4);
        m_ports->ReShowComPortTimer_Timer();
        QCOMPARE(Entries(), (QStringList{"COM3", "COM4", "COM5"}));
        QCOMPARE(m_combo->currentText(), QStringLiteral("COM5"));
    }

    void retargetedAliasRefreshesItsDetails()
    {
        Plug(7);
        Settle(7);
        QFile::remove(m_world->AliasPath(7));
        m_world->AddAlias(7, m_world->MakeTarget(QStringLiteral("other-cable")));

        m_ports->ReShowComPortTimer_Timer();

        QVERIFY(m_combo->itemData(0, Qt::ToolTipRole).toString().endsWith(QStringLiteral("/other-cable")));
        QCOMPARE(m_combo->currentText(), QStringLiteral("COM7"));
    }

    void operatorsPickIsRememberedAndKept()
    {
        Plug(3);
        Plug(12);
        Settle(3);
        QCOMPARE(m_world->Settings(), PortWorld::NoFile()); // the program's own selection writes nothing
        m_combo->show();
        m_combo->setFocus();

        QTest::keyClick(m_combo.get(), Qt::Key_Down);

        QCOMPARE(m_combo->currentText(), QStringLiteral("COM12"));
        QCOMPARE(int(m_comPortNo), 12);
        QCOMPARE(m_world->Settings(), QByteArray("[language]\ncomPort=12\n"));
        m_ports->ReShowComPortTimer_Timer();
        QCOMPARE(m_combo->currentText(), QStringLiteral("COM12"));
        QCOMPARE(int(m_comPortNo), 12);
    }

    void timerRefreshesEverySecond()
    {
        Plug(3);
        Plug(5);
        Settle(5);
        m_ports->ReShowComPortTimer().start();
        m_world->RemoveAlias(5);

        QTRY_COMPARE_WITH_TIMEOUT(int(m_comPortNo), 3, 2500);
        QCOMPARE(Entries(), QStringList{QStringLiteral("COM3")});
    }

    void entryNumbers_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("portNo");

        QTest::newRow("COM3") << "COM3" << 3;
        QTest::newRow("COM999") << "COM999" << 999;
        QTest::newRow("prefix plays no part") << "XYZ12" << 12;
        QTest::newRow("no digits") << "COM" << 0;
        QTest::newRow("letters") << "COMA1" << 0;
        QTest::newRow("past 16 bits") << "COM65537" << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void entryNumbers()
    {
        QFETCH(QString, entry);
        QFETCH(int, portNo);
        QCOMPARE(int(PortNumberOfEntry(entry)), portNo);
    }
};

QTEST_MAIN(TestPortList)
#include "tst_portlist.moc"
