#pragma once

#include "services/portchoices.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QtGlobal>

class QComboBox;

namespace kelvra {

class PortDirectory;

// The port list Combo2 and the number of the chosen port: filled at start-up,
// kept in step with the serial devices present by a one-second refresh, and
// remembered in the settings file when the operator picks a port.
class PortList : public QObject
{
    Q_OBJECT
public:
    static constexpr int FixedPortCount = 256;

    PortList(QComboBox *combo2, PortDirectory &directory, qint16 &comPortNo, const QString &settingsPath,
             QObject *parent = nullptr);

    // Brings list in line with the ports present ("COM<n>", ascending number,
    // details in the tooltip) and returns the first port's number, 0 when none.
    // A list that already shows the same ports is left untouched, so an open
    // drop-down and the selection survive the refresh.
    qint16 EnumComPorts(QComboBox *list);
    bool InComPorts(int portNo) const;
    // COM1 to COM256, for systems without a list of the devices present.
    void FillFixedList();
    // Selects "COM<portNo>" without running the operator's selection handler; none for 0.
    void SelectPort(int portNo);

    // The port in the settings file. The refresh selects it whenever it is
    // present, until the operator picks another.
    void SetSavedPort(qint16 portNo) { m_savedPort = portNo; }

    // The operator picked an entry: it becomes the port and is remembered.
    void Combo2_Click();
    void ReShowComPortTimer_Timer();

    QTimer &ReShowComPortTimer() { return m_refreshTimer; }

signals:
    // Saving the port went wrong, or set aside a file that held no text; in words for the operator.
    void SettingsNotice(const QString &notice);

private:
    QComboBox *m_combo2;
    PortDirectory &m_directory;
    qint16 &m_comPortNo;
    QString m_settingsPath;
    QTimer m_refreshTimer;
    qint16 m_savedPort = 0;
};

} // namespace kelvra
