#include "support/fakeserialcontrol.h"

namespace kelvra {

bool FakeSerialControl::Open(int, QString *reason)
{
    *reason = openFailure;
    if (!openFailure.isEmpty())
        return false;
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
