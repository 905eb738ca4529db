#include "ui/portlist.h"

#include "services/comportsetting.h"
#include "ui/listlookup.h"

#include <QComboBox>
#include <QStringList>

namespace kelvra {

namespace {

QString EntryText(int portNo)
{
    return QStringLiteral("COM") + QString::number(portNo);
}

bool ListShows(const QComboBox *list, const QList<PortChoice> &ports)
{
    if (list->count() != ports.size())
        return false;
    for (int i = 0; i < ports.size(); ++i) {
        if (list->itemText(i) != ports.at(i).text || list->itemData(i, Qt::ToolTipRole).toString() != ports.at(i).toolTip)
            return false;
    }
    return true;
}

} // namespace

PortList::PortList(QComboBox *combo2, PortDirectory &directory, qint16 &comPortNo, const QString &settingsPath,
                   QObject *parent)
    : QObject(parent)
    , m_combo2(combo2)
    , m_directory(directory)
    , m_comPortNo(comPortNo)
    , m_settingsPath(settingsPath)
{
    m_refreshTimer.setInterval(PortRefreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PortList::ReShowComPortTimer_Timer);
    // activated comes from the operator only, so the program's own selections
    // never rewrite the settings file.
    connect(m_combo2, &QComboBox::activated, this, &PortList::Combo2_Click);
    // The closed box names the chosen port's device and adapter too, not only the open list.
    connect(m_combo2, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_combo2->setToolTip(m_combo2->itemData(index, Qt::ToolTipRole).toString()); });
}

qint16 PortList::EnumComPorts(QComboBox *list)
{
    const QList<PortChoice> ports = PortChoices(m_directory);
    const qint16 first = ports.isEmpty() ? qint16(0) : PortNumberOfEntry(ports.constFirst().text);
    if (ListShows(list, ports))
        return first;

    list->clear();
    for (const PortChoice &port : ports) {
        list->addItem(port.text);
        list->setItemData(list->count() - 1, port.toolTip, Qt::ToolTipRole);
    }
    list->setCurrentIndex(-1);
    return first;
}

bool PortList::InComPorts(int portNo) const
{
    return m_combo2->findText(EntryText(portNo)) >= 0;
}

void PortList::FillFixedList()
{
    m_combo2->clear();
    for (int portNo = 1; portNo <= FixedPortCount; ++portNo)
        m_combo2->addItem(EntryText(portNo));
    m_combo2->setCurrentIndex(-1);
}

void PortList::SelectPort(int portNo)
{
    m_combo2->setCurrentIndex(
        portNo == 0 ? -1 : m_combo2->findText(EntryText(portNo)));
}

void PortList::Combo2_Click()
{
    if (m_combo2->currentIndex() < 0)
        return;
    const qint16 portNo = PortNumberOfEntry(m_combo2->currentText());
    if (portNo < 1)
        return;
    m_comPortNo = portNo;
    m_savedPort = portNo;
    QString notice;
    if (!SaveComPort(m_settingsPath, m_comPortNo, &notice) || !notice.isEmpty())
        emit SettingsNotice(notice);
}

void PortList::ReShowComPortTimer_Timer()
{
    const qint16 first = EnumComPorts(m_combo2);
    if (first < 1) {
        m_comPortNo = first;
        m_combo2->setCurrentIndex(-1);
        return;
    }
    const qint16 wanted = m_savedPort > 0 && InComPorts(m_savedPort) ? m_savedPort : m_comPortNo;
    const QString kept = MatchListItem(m_combo2, EntryText(wanted));
    const int index = m_combo2->findText(kept);
    if (m_combo2->currentIndex() != index)
        m_combo2->setCurrentIndex(index);
    m_comPortNo = PortNumberOfEntry(m_combo2->currentText());
}

} // namespace kelvra
