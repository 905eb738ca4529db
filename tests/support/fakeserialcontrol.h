#pragma once

#include "link/serialcontrol.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kelvra {

// A serial port the test plays the far end of: it records what is written
// and delivers bytes with the real control's threshold rule.
class FakeSerialControl : public SerialControl
{
    Q_OBJECT
public:
    using SerialControl::SerialControl;

    bool PortOpen() const override { return m_open; }
    bool Open(int portNo, QString *reason) override;
    void Close() override { m_open = false; }
    void SetReceiveThreshold(int bytes) override { threshold = bytes; }
    void ClearTransmitBuffer() override {}
    void ClearReceiveBuffer() override { m_buffer.clear(); }
    bool Write(const QByteArray &bytes) override;
    QByteArray Input() override;

    // Buffers the bytes (dropped while closed) and raises Receive once the
    // buffer reaches the threshold.
    void Deliver(const QByteArray &bytes);
    // The cable is pulled: the port closes, then Lost is raised.
    void Pull();

    QByteArray LastWrite() const { return writes.isEmpty() ? QByteArray() : writes.last(); }

    QList<QByteArray> writes;
    QList<int> openedPorts;
    int threshold = 1;
    // Set to make the next opens fail with this reason.
    QString openFailure;
    bool refuseWrites = false;

private:
    bool m_open = false;
    QByteArray m_buffer;
};

} // namespace kelvra
