#pragma once

#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "link/serialcontrol.h"

#include <QLoggingCategory>

#include <memory>

namespace kelvra {

class PortDirectory;

// The support trace: every frame sent and received, every expiry and every
// ending, as debug messages of this category. Off unless enabled (--trace,
// or QT_LOGGING_RULES="kelvra.trace.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Wall-clock time to the millisecond that starts each trace line, so a trace
// lines up with what the dealer saw.
QString TraceStamp();

// What the decorators learn together about the operation under way. The link
// tells nobody when an operation begins or is abandoned: an Open begins one,
// its first message box ends it, and an Open before that box abandons it.
struct TraceSession
{
    bool operationUnderWay = false;
    int describedPort = 0; // the port whose device and adapter the trace has named
    int portNo = 0;        // the port last opened; named on every line while several links are traced
};

// Decorators around the link's three seams that report to lcTrace and
// otherwise pass everything through unchanged. The program puts them between
// the link and the real seams only while tracing is on, so the link costs
// nothing more when it is off.
class TracingSerialControl : public SerialControl
{
    Q_OBJECT
public:
    // directory, when given, names the adapter behind a port at its first open.
    TracingSerialControl(SerialControl &inner, TraceSession &session, const PortDirectory *directory = nullptr,
                         QObject *parent = nullptr);

    bool PortOpen() const override;
    bool Open(int portNo, QString *reason) override;
    void Close() override;
    void SetReceiveThreshold(int bytes) override;
    void ClearTransmitBuffer() override;
    void ClearReceiveBuffer() override;
    bool Write(const QByteArray &bytes) override;
    QByteArray Input() override;
    int InBufferCount() const override { return m_inner.InBufferCount(); }
    QString DevicePath() const override { return m_inner.DevicePath(); }

private:
    QString Adapter(int portNo) const;

    SerialControl &m_inner;
    TraceSession &m_session;
    const PortDirectory *m_directory;
    int m_portNo = 0;
};

class TracingReplyTimer : public ReplyTimer
{
    Q_OBJECT
public:
    TracingReplyTimer(ReplyTimer &inner, const TraceSession &session, QObject *parent = nullptr);

    void SetInterval(int milliseconds) override;
    int Interval() const override;
    qint64 Now() const override { return m_inner.Now(); }
    void Enable() override;
    void Disable() override;
    bool Enabled() const override;

private:
    ReplyTimer &m_inner;
    const TraceSession &m_session;
};

class TracingOperator : public Operator
{
public:
    TracingOperator(Operator &inner, TraceSession &session) : m_inner(inner), m_session(session) {}

    void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) override;
    void ShowByData() override { m_inner.ShowByData(); }
    void GetDataByShow() override { m_inner.GetDataByShow(); }
    QString ModelBoxText() const override { return m_inner.ModelBoxText(); }

private:
    Operator &m_inner;
    TraceSession &m_session;
};

// The three together, built around the real seams. An operation still under
// way when the trace goes (the window closed mid-read) gets its end line then.
// While several links are traced at once (a station on several ports), each
// line names its link's port.
struct LinkTrace
{
    LinkTrace(SerialControl &control, ReplyTimer &timer, Operator &op, const PortDirectory *directory = nullptr);
    ~LinkTrace();

    TraceSession session;
    TracingSerialControl control;
    TracingReplyTimer timer;
    TracingOperator op;
};

// The seams a link is built on: the real ones, with the trace's decorators
// between them and the link when tracing is on as it is built. The window
// and the commands build their links on it.
class LinkSeams
{
public:
    LinkSeams(SerialControl &control, ReplyTimer &timer, Operator &op, const PortDirectory *directory = nullptr)
        : m_control(control), m_timer(timer), m_op(op),
          m_trace(lcTrace().isDebugEnabled() ? std::make_unique<LinkTrace>(control, timer, op, directory) : nullptr)
    {
    }

    SerialControl &Control() { return m_trace ? m_trace->control : m_control; }
    ReplyTimer &Timer() { return m_trace ? m_trace->timer : m_timer; }
    Operator &Op() { return m_trace ? m_trace->op : m_op; }

private:
    SerialControl &m_control;
    ReplyTimer &m_timer;
    Operator &m_op;
    std::unique_ptr<LinkTrace> m_trace;
};

} // namespace kelvra
