#include "station/stationwindow.h"

#include "lang/captions.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "production/stationjob.h"
#include "production/stationline.h"
#include "station/jobview.h"
#include "station/portchooser.h"
#include "station/portpanel.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

namespace kelvra {

namespace {

// Room for four panels of a readable size beside the job, where the screen has it.
constexpr QSize PreferredSize(1000, 700);

QLabel *Line(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(SpokenCaption(caption));
    // Enter on a focused button presses it, as in the main window.
    button->setAutoDefault(true);
    return button;
}

// A line with nothing to say takes no room.
void Show(QLabel *line, const QString &text)
{
    line->setText(text);
    line->setVisible(!text.isEmpty());
}

} // namespace

StationWindow::StationWindow(const StationEnvironment &environment, QWidget *parent)
    : QWidget(parent), m_environment(environment)
{
    setWindowTitle(tr("KelvraSet Station"));
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    setFont(windowFont);
    m_ask = [this](const QString &question) { return AskOnScreen(question); };
    connect(&m_interrupts, &InterruptSignals::Interrupted, this, &StationWindow::Interrupt);

    // On a scaled screen too small for the window the whole of it scrolls,
    // never cut off; the panels take whatever room is left.
    auto *content = new QWidget;
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    m_jobView = new JobView(LanguageIdForLocale(environment.locale), content);
    m_openJob = Button(content, "openJob", tr("Open &Job..."));
    auto *jobRow = new QHBoxLayout;
    jobRow->addWidget(m_jobView, 1);
    jobRow->addWidget(m_openJob, 0, Qt::AlignTop);

    auto *portsCaption = new QLabel(tr("&Ports:"), content);
    m_chooser = new PortChooser(environment.aliasDirs, environment.sysTtyRoot, environment.devRoot, content);
    m_chooser->setObjectName(QStringLiteral("ports"));
    m_chooser->setAccessibleName(SpokenCaption(portsCaption->text()));
    portsCaption->setBuddy(m_chooser);
    m_startStop = Button(content, "startStop", tr("&Start"));
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(portsCaption, 0, Qt::AlignTop);
    portRow->addWidget(m_chooser, 1);
    portRow->addWidget(m_startStop, 0, Qt::AlignTop);

    m_panelArea = new QWidget(content);
    m_panelGrid = new QGridLayout(m_panelArea);
    m_panelGrid->setContentsMargins(0, 0, 0, 0);
    m_hint = Line(m_panelArea, "hint");
    m_hint->setText(tr("Tick the ports of the fixtures in the list, then press Start. Each port takes a radio as "
                       "soon as it answers, and the next once that one has been taken off."));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setTextInteractionFlags(Qt::NoTextInteraction);
    m_panelGrid->addWidget(m_hint, 0, 0);
    // Each line's words say what it is: a screen reader hears them as its name.
    m_problem = Line(content, "problem");
    m_summary = Line(content, "summary");
    m_report = Line(content, "report");

    for (QLabel *line : {m_problem, m_summary, m_report})
        Show(line, QString());
    auto *layout = new QVBoxLayout(content);
    // Tight, so that four panels and the job fit a laptop's screen at scale 2.
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(jobRow);
    layout->addLayout(portRow);
    layout->addWidget(m_panelArea, 1);
    layout->addWidget(m_problem);
    layout->addWidget(m_summary);
    layout->addWidget(m_report);
    setTabOrder(m_openJob, m_chooser);
    setTabOrder(m_chooser, m_startStop);
    setTabOrder(m_startStop, m_report);

    connect(m_openJob, &QPushButton::clicked, this, &StationWindow::AskForJob);
    connect(m_startStop, &QPushButton::clicked, this, [this] { Running() ? Stop() : Start(); });
    m_jobView->ShowNone(tr("No job yet: open one with Open Job..."));
    m_startStop->setFocus();
}

StationWindow::~StationWindow()
{
    // Whatever runs ends here, as closing during a run ends it: each radio
    // under way is abandoned and recorded, and no port is left open.
    for (int i = 0; Running() && i < 3; ++i)
        m_line->Interrupt();
}

bool StationWindow::OpenJob(const QString &path)
{
    if (Running())
        return false;
    // The last run's line goes first: it holds the job it ran.
    m_line.reset();
    auto job = std::make_unique<StationJob>();
    QString error;
    if (!job->Load(path, m_environment.settingsPath, &error)) {
        m_jobView->ShowNone(tr("The job %1 cannot be used.").arg(QDir::toNativeSeparators(path)));
        Say(error);
        m_job.reset();
        m_jobPath = path;
        return false;
    }
    m_job = std::move(job);
    m_jobPath = path;
    m_jobView->Show(*m_job);
    setWindowTitle(tr("%1 - KelvraSet Station").arg(QFileInfo(path).fileName()));
    Say(QString());
    return true;
}

void StationWindow::AskForJob()
{
    if (Running())
        return;
    const QString folder = m_jobPath.isEmpty() ? QDir::homePath() : QFileInfo(m_jobPath).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open a Job"), folder,
                                                      tr("Jobs (*.json);;All files (*)"));
    if (!path.isEmpty())
        OpenJob(path);
}

void StationWindow::WantPorts(const QStringList &ports)
{
    m_chooser->Want(ports);
}

bool StationWindow::Running() const
{
    return m_line && !m_ended;
}

void StationWindow::Start()
{
    if (Running())
        return;
    if (m_jobPath.isEmpty())
        AskForJob();
    // Read again: what runs is what the file says now, checked whole.
    if (m_jobPath.isEmpty() || !OpenJob(m_jobPath))
        return;
    const QStringList ports = m_chooser->Chosen();
    if (ports.isEmpty()) {
        Say(tr("Tick the ports to run on in the list; it shows the cables plugged in."));
        return;
    }
    auto line = std::make_unique<StationLine>(*m_job, true, m_environment.aliasDirs);
    for (const QString &port : ports) {
        QString why;
        if (!line->AddPort(port, &why)) {
            Say(why);
            return;
        }
    }
    m_line = std::move(line);
    m_ended = false;
    Show(m_summary, QString());
    Show(m_report, QString());
    ShowPanels(ports);
    Wire(*m_line);
    ShowRunning(true);
    m_line->Start(m_environment.historyPath, m_environment.settingsPath);
    if (Running() && !m_line->ReportPath().isEmpty())
        Show(m_report, m_line->ReportLine());
}

void StationWindow::Stop()
{
    if (Running())
        m_line->Interrupt();
}

void StationWindow::Wire(StationLine &line)
{
    connect(&line, &StationLine::Notice, this, &StationWindow::Say);
    connect(&line, &StationLine::Waiting, this, [this](const QString &port) { Panel(port)->ShowReady(); });
    connect(&line, &StationLine::Vacant, this, [this](const QString &port) { Panel(port)->ShowWaiting(); });
    connect(&line, &StationLine::PortUnavailable, this,
            [this](const QString &port, const QString &message, const QString &detail) {
                Panel(port)->ShowUnavailable(message, detail);
            });
    connect(&line, &StationLine::Progress, this,
            [this](const QString &port, const LinkActivity &activity) { Panel(port)->ShowActivity(activity); });
    connect(&line, &StationLine::Attempted, this, [this](const StationAttempt &attempt) {
        PortPanel *panel = Panel(attempt.port);
        const StationTally &tally = m_line->PortTally(int(m_panels.indexOf(panel)));
        panel->ShowResult(attempt);
        panel->ShowCounts(tally.Passed(), tally.Failed());
    });
    connect(&line, &StationLine::EndingAfterRadio, this, [this](const QString &port) {
        Say(tr("Stopping: %1 ends after the radio under way; press Stop again to abandon that radio.").arg(port));
    });
    connect(&line, &StationLine::LettingWriteFinish, this, [this](const QString &port) {
        Say(tr("%1: the write blocks have gone out, so this radio's write is let finish; press Stop again to "
               "abandon it half-written.")
                .arg(port));
    });
    // Queued: a run may end within Start, before the window has shown it running.
    connect(&line, &StationLine::Ended, this, &StationWindow::OnEnded, Qt::QueuedConnection);
}

void StationWindow::OnEnded()
{
    m_ended = true;
    for (PortPanel *panel : std::as_const(m_panels))
        panel->ShowEnded();
    const QString summary = tr("Station ended: %1").arg(TallyText(m_line->Tally()));
    Show(m_summary, summary);
    Show(m_report, m_line->ReportLine());
    ShowRunning(false);
    if (m_signal != 0) {
        // Whoever sent the signal sees the end on the terminal the window came from.
        std::fprintf(stderr, "%s\n%s\n", qPrintable(summary), qPrintable(m_line->ReportLine()));
        std::fflush(stderr);
    }
    if (m_signal != 0 || m_closing)
        QTimer::singleShot(0, this, &QWidget::close);
}

void StationWindow::Interrupt(int signal)
{
    if (m_signal == 0)
        m_signal = signal;
    // A question on the screen would keep the window open: it is answered "stay", and the run ends as the signal says.
    if (m_question)
        m_question->done(QMessageBox::No);
    if (Running())
        m_line->Interrupt();
    else
        QTimer::singleShot(0, this, &QWidget::close);
}

int StationWindow::ExitCode() const
{
    return m_signal == 0 ? 0 : ExitCodeOfSignal(m_signal);
}

void StationWindow::Say(const QString &text)
{
    Show(m_problem, text);
}

PortPanel *StationWindow::Panel(const QString &port) const
{
    for (PortPanel *panel : m_panels) {
        if (panel->Port().compare(port, Qt::CaseInsensitive) == 0)
            return panel;
    }
    return m_panels.value(0);
}

void StationWindow::ShowPanels(const QStringList &ports)
{
    qDeleteAll(m_panels);
    m_panels.clear();
    m_hint->hide();
    // As square a grid as the ports make: four ports in two rows of two.
    const int columns = int(std::ceil(std::sqrt(double(ports.size()))));
    for (int i = 0; i < ports.size(); ++i) {
        auto *panel = new PortPanel(ports.at(i), m_panelArea);
        m_panelGrid->addWidget(panel, i / columns, i % columns);
        m_panels << panel;
    }
}

void StationWindow::ShowRunning(bool running)
{
    m_startStop->setText(running ? tr("&Stop") : tr("&Start"));
    m_startStop->setAccessibleName(SpokenCaption(m_startStop->text()));
    m_openJob->setEnabled(!running);
    m_chooser->setEnabled(!running);
}

void StationWindow::PlaceOnScreen()
{
    const QScreen *where = screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    // Until the window is shown its frame is unknown; allow for a title bar.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    resize(PreferredSize.boundedTo(available.size() - QSize(0, titleBar)));
    QRect outer(QPoint(), size() + QSize(0, titleBar));
    outer.moveCenter(available.center());
    move(qMax(outer.left(), available.left()), qMax(outer.top(), available.top()));
}

void StationWindow::closeEvent(QCloseEvent *event)
{
    if (!Running()) {
        event->accept();
        return;
    }
    const QString question = m_line->LeaveQuestion();
    event->ignore();
    if (!m_closing && !question.isEmpty() && !m_ask(question))
        return;
    // The run may have ended while the question was open.
    if (!Running()) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    m_closing = true;
    // Each interrupt goes a step further, as Ctrl+C pressed three times: the
    // third abandons even a write whose blocks have gone out.
    for (int i = 0; i < 3; ++i)
        m_line->Interrupt();
}

bool StationWindow::AskOnScreen(const QString &question)
{
    QMessageBox box(QMessageBox::Warning, ProgramName(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    m_question = &box;
    return box.exec() == QMessageBox::Yes;
}

} // namespace kelvra
