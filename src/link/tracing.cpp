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

} // namespace

TracingSerialControl::TracingSerialControl(SerialControl &inner, QObject *parent)
    : SerialControl(parent), m_inner(inner)
{
    connect(&m_inner, &SerialControl::OnComm, this, [this](CommEvent event) {
        if (event == CommEvent::Lost)
            qCDebug(lcTrace).noquote() << TraceStamp() << "lost  the port failed or vanished";
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
    if (opened)
        qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " open  COM" << portNo;
    else
        qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " open  COM" << portNo << " failed: " << why;
    if (reason)
        *reason = why;
    return opened;
}

void TracingSerialControl::Close()
{
    if (m_inner.PortOpen())
        qCDebug(lcTrace).noquote() << TraceStamp() << "close";
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
    qCDebug(lcTrace).noquote() << TraceStamp() << (written ? "tx   " : "tx!  ") << Hex(bytes);
    return written;
}

QByteArray TracingSerialControl::Input()
{
    const QByteArray bytes = m_inner.Input();
    qCDebug(lcTrace).noquote() << TraceStamp() << "rx   " << Hex(bytes);
    return bytes;
}

TracingReplyTimer::TracingReplyTimer(ReplyTimer &inner, QObject *parent) : ReplyTimer(parent), m_inner(inner)
{
    connect(&m_inner, &ReplyTimer::Timer, this, [this] {
        qCDebug(lcTrace).noquote() << TraceStamp() << "expiry after" << m_inner.Interval() << "ms";
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
    if (detail.isEmpty())
        qCDebug(lcTrace).noquote() << TraceStamp() << "end  " << text;
    else
        qCDebug(lcTrace).noquote() << TraceStamp() << "end  " << text << "-" << detail;
    m_inner.ShowMessage(text, icon, detail);
}

} // namespace kelvra
