#pragma once

#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "link/serialcontrol.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

namespace kelvra {

// The support trace: every frame sent and received, every expiry and every
// ending, as debug messages of this category. Off unless enabled (--trace,
// or QT_LOGGING_RULES="kelvra.trace.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Wall-clock time to the millisecond that starts each trace line, so a trace
// lines up with what the dealer saw.
QString TraceStamp();

// Decorators around the link's three seams that report to lcTrace and
// otherwise pass everything through unchanged. The program puts them between
// the link and the real seams only while tracing is on, so the link costs
// nothing more when it is off.
class TracingSerialControl : public SerialControl
{
    Q_OBJECT
public:
    explicit TracingSerialControl(SerialControl &inner, QObject *parent = nullptr);

    bool PortOpen() const override;
    bool Open(int portNo, QString *reason) override;
    void Close() override;
    void SetReceiveThreshold(int bytes) override;
    void ClearTransmitBuffer() override;
    void ClearReceiveBuffer() override;
    bool Write(const QByteArray &bytes) override;
    QByteArray Input() override;
    QString DevicePath() const override { return m_inner.DevicePath(); }

private:
    SerialControl &m_inner;
};

class TracingReplyTimer : public ReplyTimer
{
    Q_OBJECT
public:
    explicit TracingReplyTimer(ReplyTimer &inner, QObject *parent = nullptr);

    void SetInterval(int milliseconds) override;
    int Interval() const override;
    void Enable() override;
    void Disable() override;
    bool Enabled() const override;

private:
    ReplyTimer &m_inner;
};

class TracingOperator : public Operator
{
public:
    explicit TracingOperator(Operator &inner) : m_inner(inner) {}

    void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) override;
    void ShowByData() override { m_inner.ShowByData(); }
    void GetDataByShow() override { m_inner.GetDataByShow(); }
    QString ModelBoxText() const override { return m_inner.ModelBoxText(); }

private:
    Operator &m_inner;
};

// The three together, built around the real seams.
struct LinkTrace
{
    LinkTrace(SerialControl &control, ReplyTimer &timer, Operator &op) : control(control), timer(timer), op(op) {}
    TracingSerialControl control;
    TracingReplyTimer timer;
    TracingOperator op;
};

} // namespace kelvra
