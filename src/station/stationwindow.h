#pragma once

#include "services/interruptsignals.h"
#include "station/stationprogram.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QGridLayout;
class QLabel;
class QMessageBox;
class QPushButton;

namespace kelvra {

class JobView;
class PortChooser;
class PortPanel;
class StationJob;
class StationLine;

// The station window: the job, the ports ticked in the port list, Start and
// Stop, one panel per port while a run goes, and at its end the count and
// where the run report went. A run takes each radio as soon as it answers
// and not again until its cable was found empty. Nothing in a run asks: what
// goes wrong is said in the line under the panels.
class StationWindow : public QWidget
{
    Q_OBJECT
public:
    explicit StationWindow(const StationEnvironment &environment, QWidget *parent = nullptr);
    ~StationWindow() override;

    // Reads and shows the job; false, said under the panels, when it does not check out.
    bool OpenJob(const QString &path);
    // The file dialog for a job; nothing changes when it is cancelled.
    void AskForJob();
    // Ticks these ports in the list, now or as soon as they appear.
    void WantPorts(const QStringList &ports);

    void Start();
    // At once for the ports that wait; after its radio for a port that has
    // one. Again: the radios under way are abandoned as a write's Ctrl+C abandons them.
    void Stop();
    bool Running() const;

    // Ctrl+C, SIGTERM, SIGHUP to the process, while the window lives: the
    // run ends as the station command ends it, its summary is shown (and
    // said on standard error), and the window closes.
    void Interrupt(int signal);
    // 0, or 128 plus the number of the signal that ended it.
    int ExitCode() const;

    // Something the people at the line should know, in the line under the panels.
    void Say(const QString &text);

    // The question asked before closing during a write; true to close. A box
    // on the screen, whose default answer stays, unless a test answers.
    void SetAsk(std::function<bool(const QString &question)> ask) { m_ask = std::move(ask); }

    // Sized to the screen's available area and centred there.
    void PlaceOnScreen();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Wire(StationLine &line);
    void OnEnded();
    PortPanel *Panel(const QString &port) const;
    void ShowPanels(const QStringList &ports);
    void ShowRunning(bool running);
    bool AskOnScreen(const QString &question);

    StationEnvironment m_environment;
    std::unique_ptr<StationJob> m_job;
    QString m_jobPath;
    std::unique_ptr<StationLine> m_line;
    bool m_ended = false;
    bool m_closing = false;   // closed during the run: it closes once the run has ended
    int m_signal = 0;         // the first signal that interrupted the run
    std::function<bool(const QString &)> m_ask;
    InterruptSignals m_interrupts;
    QPointer<QMessageBox> m_question;

    JobView *m_jobView = nullptr;
    QPushButton *m_openJob = nullptr;
    PortChooser *m_chooser = nullptr;
    QPushButton *m_startStop = nullptr;
    QWidget *m_panelArea = nullptr;
    QGridLayout *m_panelGrid = nullptr;
    QList<PortPanel *> m_panels;
    QLabel *m_hint = nullptr; // until the first run has panels to show
    QLabel *m_problem = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_report = nullptr;
};

} // namespace kelvra
