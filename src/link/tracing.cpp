#include "link/tracing.h"

#include "link/portdirectory.h"

#include <QDateTime>

namespace kelvra {

Q_LOGGING_CATEGORY(lcTrace, "kelvra.trace", QtInfoMsg)

QString TraceStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

namespace {

// The bytes in hex, then as text between bars: the frames' commands and the
// record's texts are ASCII, so "PROGRAM" or a dealer code reads at a glance.
QString Bytes(const QByteArray &bytes)
{
    QByteArray ascii = bytes;
    for (char &ch : ascii) {
        if (ch < 0x20 || ch > 0x7E)
            ch = '.';
    }
    return QString::fromLatin1(bytes.toHex(' ').toUpper() + "  |" + ascii + '|');
}

int g_linksTraced = 0;

// One line: the time, what happened in a column of its own, and its details;
// the port of session's link, when the details do not name it.
void Trace(const char *what, const QString &details, const TraceSession *session = nullptr)
{
    const QString port = g_linksTraced > 1 && session && session->portNo > 0
        ? PortDirectory::PortName(session->portNo) + QLatin1Char(' ')
        : QString();
    qCDebug(lcTrace).noquote().nospace() << TraceStamp() << ' ' << QByteArray(what).leftJustified(6) << ' ' << port
                                         << details;
}

} // namespace

LinkTrace::LinkTrace(SerialControl &control, ReplyTimer &timer, Operator &op, const PortDirectory *directory)
    : control(control, session, directory), timer(timer, session), op(op, session)
{
    ++g_linksTraced;
}

LinkTrace::~LinkTrace()
{
    if (session.operationUnderWay)
        Trace("end", QStringLiteral("abandoned: the program ended"), &session);
    --g_linksTraced;
}

TracingSerialControl::TracingSerialControl(SerialControl &inner, TraceSession &session,
                                           const PortDirectory *directory, QObject *parent)
    : SerialControl(parent), m_inner(inner), m_session(session), m_directory(directory)
{
    connect(&m_inner, &SerialControl::OnComm, this, [this](CommEvent event) {
        if (event == CommEvent::Lost)
            Trace("lost", QStringLiteral("the port failed or vanished"), &m_session);
        emit OnComm(event);
    });
}

bool TracingSerialControl::PortOpen() const
{
    return m_inner.PortOpen();
}

bool TracingSerialControl::Open(int portNo, QString *reason)
{
    if (m_session.operationUnderWay)
        Trace("end", QStringLiteral("abandoned: a new press started another operation"), &m_session);
    m_session.operationUnderWay = true;
    m_session.portNo = portNo;

    QString why;
    const bool opened = m_inner.Open(portNo, &why);
    m_portNo = portNo;
    QString details = PortDirectory::PortName(portNo);
    if (!opened) {
        details += QStringLiteral(" failed: ") + why;
    } else {
        details += QLatin1Char(' ') + m_inner.DevicePath();
        // Named once: it is the same cable until the dealer picks another port.
        if (portNo != m_session.describedPort) {
            m_session.describedPort = portNo;
            details += Adapter(portNo);
        }
    }
    Trace("open", details);
    if (reason)
        *reason = why;
    return opened;
}

QString TracingSerialControl::Adapter(int portNo) const
{
    const std::optional<PortEntry> entry = m_directory ? m_directory->Find(portNo) : std::nullopt;
    if (!entry)
        return QString();
    QStringList known;
    const std::pair<const char *, QString> details[] = {
        {"vendor", entry->manufacturer}, {"product", entry->description}, {"serial", entry->serialNumber}};
    for (const auto &[name, value] : details) {
        if (!value.isEmpty())
            known << QLatin1String(name) + QLatin1Char(' ') + value;
    }
    return known.isEmpty() ? QString() : QStringLiteral(" (") + known.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void TracingSerialControl::Close()
{
    if (m_inner.PortOpen())
        Trace("close", PortDirectory::PortName(m_portNo));
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
    Trace(written ? "tx" : "tx!", Bytes(bytes), &m_session);
    return written;
}

QByteArray TracingSerialControl::Input()
{
    const QByteArray bytes = m_inner.Input();
    Trace("rx", Bytes(bytes), &m_session);
    return bytes;
}

TracingReplyTimer::TracingReplyTimer(ReplyTimer &inner, const TraceSession &session, QObject *parent)
    : ReplyTimer(parent), m_inner(inner), m_session(session)
{
    connect(&m_inner, &ReplyTimer::Timer, this, [this] {
        Trace("expiry", QStringLiteral("after %1 ms").arg(m_inner.Interval()), &m_session);
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
    // The first box of an operation is its ending; a box after it (the
    // failure that follows a model error) is only what the operator saw.
    const char *what = m_session.operationUnderWay ? "end" : "box";
    m_session.operationUnderWay = false;
    // Logged before the box, which waits for the operator.
    Trace(what, detail.isEmpty() ? text : text + QStringLiteral(" - ") + detail, &m_session);
    m_inner.ShowMessage(text, icon, detail);
}

} // namespace kelvra
