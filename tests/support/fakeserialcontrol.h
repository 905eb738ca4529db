#pragma once

#include "link/serialcontrol.h"

#include <QList>

#include <utility>

namespace kelvra {

// A serial port the test plays the far end of: it records what is written
// and raises Receive with the real control's threshold rule.
class FakeSerialControl : public SerialControl
{
    Q_OBJECT
public:
    bool PortOpen() const override { return m_open; }
    bool Open(int portNo, QString *reason) override;
    void Close() override { m_open = false; }
    void SetReceiveThreshold(int bytes) override { threshold = bytes; }
    void ClearTransmitBuffer() override {}
    void ClearReceiveBuffer() override { m_buffer.clear(); }
    bool Write(const QByteArray &bytes) override;
    QByteArray Input() override { return std::exchange(m_buffer, QByteArray()); }
    int InBufferCount() const override { return int(m_buffer.size()); }
    QString DevicePath() const override { return QString(); }

    // Bytes from the far end; dropped while the port is closed.
    void Deliver(const QByteArray &bytes);
    // The cable is pulled: the port closes, then Lost is raised.
    void Pull();

    QList<QByteArray> writes;
    int threshold = 1;
    QString openFailure; // when set, every open fails with this reason
    bool refuseWrites = false;

private:
    bool m_open = false;
    QByteArray m_buffer;
};

} // namespace kelvra
