#include "link/tracing.h"

#include <QDateTime>

namespace kelvra {

Q_LOGGING_CATEGORY(lcTrace, "kelvra.trace", QtInfoMsg)

QString TraceStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

namespace {

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// One line: the time, what happened in a column of its own, and its details.
void Trace(const char *what, const QString &details = QString())
{
    qCDebug(lcTrace).noquote().nospace() << TraceStamp() << ' ' << QByteArray(what).leftJustified(6) << ' '
                                         << details;
}

} // namespace

TracingSerialControl::TracingSerialControl(SerialControl &inner, QObject *parent)
    : SerialControl(parent), m_inner(inner)
{
    connect(&m_inner, &SerialControl::OnComm, this, [this](CommEvent event) {
        if (event == CommEvent::Lost)
            Trace("lost", QStringLiteral("the port failed or vanished"));
        emit OnComm(event);
    });
}

bool TracingSerialControl::PortOpen() const
{
    return m_inner.PortOpen();
}

bool TracingSerialControl::Open(int portNo, QString *reason)
{
    QString why;
    const bool opened = m_inner.Open(portNo, &why);
    Trace("open", QStringLiteral("COM%1").arg(portNo) + (opened ? QString() : QStringLiteral(" failed: ") + why));
    if (reason)
        *reason = why;
    return opened;
}

void TracingSerialControl::Close()
{
    if (m_inner.PortOpen())
        Trace("close");
    m_inner.Close();
}

void TracingSerialControl::SetReceiveThreshold(int bytes)
{
    m_inner.SetReceiveThreshold(bytes);
}

void TracingSerialControl::ClearTransmitBuffer()
{
    m_inner.ClearTransmitBuffer();
}

void TracingSerialControl::ClearReceiveBuffer()
{
    m_inner.ClearReceiveBuffer();
}

bool TracingSerialControl::Write(const QByteArray &bytes)
{
    const bool written = m_inner.Write(bytes);
    Trace(written ? "tx" : "tx!", Hex(bytes));
    return written;
}

QByteArray TracingSerialControl::Input()
{
    const QByteArray bytes = m_inner.Input();
    Trace("rx", Hex(bytes));
    return bytes;
}

TracingReplyTimer::TracingReplyTimer(ReplyTimer &inner, QObject *parent) : ReplyTimer(parent), m_inner(inner)
{
    connect(&m_inner, &ReplyTimer::Timer, this, [this] {
        Trace("expiry", QStringLiteral("after %1 ms").arg(m_inner.Interval()));
        emit Timer();
    });
}

void TracingReplyTimer::SetInterval(int milliseconds)
{
    m_inner.SetInterval(milliseconds);
}

int TracingReplyTimer::Interval() const
{
    return m_inner.Interval();
}

void TracingReplyTimer::Enable()
{
    m_inner.Enable();
}

void TracingReplyTimer::Disable()
{
    m_inner.Disable();
}

bool TracingReplyTimer::Enabled() const
{
    return m_inner.Enabled();
}

void TracingOperator::ShowMessage(const QString &text, Icon icon, const QString &detail)
{
    // Logged before the box, which waits for the operator.
    Trace("end", detail.isEmpty() ? text : text + QStringLiteral(" - ") + detail);
    m_inner.ShowMessage(text, icon, detail);
}

} // namespace kelvra
