#include "support/fakeserialcontrol.h"

#include <utility>

namespace kelvra {

bool FakeSerialControl::Open(int portNo, QString *reason)
{
    if (!openFailure.isEmpty()) {
        if (reason)
            *reason = openFailure;
        return false;
    }
    openedPorts.append(portNo);
    m_open = true;
    threshold = 1;
    m_buffer.clear();
    return true;
}

bool FakeSerialControl::Write(const QByteArray &bytes)
{
    if (!m_open || refuseWrites)
        return false;
    writes.append(bytes);
    return true;
}

QByteArray FakeSerialControl::Input()
{
    return std::exchange(m_buffer, QByteArray());
}

void FakeSerialControl::Deliver(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_buffer.append(bytes);
    if (m_buffer.size() >= threshold)
        emit OnComm(CommEvent::Receive);
}

void FakeSerialControl::Pull()
{
    m_open = false;
    m_buffer.clear();
    emit OnComm(CommEvent::Lost);
}

} // namespace kelvra
