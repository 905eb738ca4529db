#pragma once

#include "link/linkactivity.h"

#include <QGroupBox>
#include <QString>

class QLabel;

namespace kelvra {

struct StationAttempt;

// One port of the station, big enough to read from two metres: the port,
// what it is doing (waiting for a radio, reading, writing block n of 5,
// checking), how its last radio ended (PASS or FAILED, the serial number,
// and for a failure why, in one line), and its count of passes and
// failures. Its colour says the same as its words, and its letters grow
// with the room it gets.
class PortPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit PortPanel(const QString &port, QWidget *parent = nullptr);

    QString Port() const { return m_portName; }

    void ShowWaiting();
    // Ready for the next radio: the last radio's result stays in view, as
    // long as that radio stays on the cable.
    void ShowReady();
    void ShowActivity(const LinkActivity &activity);
    void ShowResult(const StationAttempt &attempt);
    void ShowUnavailable(const QString &message, const QString &detail);
    void ShowCounts(int passed, int failed);
    // The run has ended; a result stays as it was.
    void ShowEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class Look { Idle, Busy, Pass, Fail, Problem };

    void Show(const QString &state, const QString &detail, Look look, const QString &serial = QString());
    void FitLetters();

    QString m_portName;
    QString m_detailText; // whole; the label shows as much as fits
    Look m_look = Look::Idle;
    QLabel *m_port = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_serial = nullptr;
    QLabel *m_detail = nullptr;
    QLabel *m_counts = nullptr;
};

} // namespace kelvra
