#include "station/portpanel.h"

#include "production/stationtally.h"
#include "services/commandoutcome.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvra {

namespace {

// Shares of the panel's height for each line's letters, and the sizes in
// pixels between which they stay: never too small to read, never taller
// than a glance needs.
struct LineSize
{
    double share;
    int least;
    int most;
};
constexpr LineSize PortSize{0.14, 12, 30};
constexpr LineSize StateSize{0.26, 16, 60};
constexpr LineSize DetailSize{0.10, 11, 22};
constexpr LineSize CountsSize{0.11, 11, 26};

int PixelSize(const LineSize &line, int height)
{
    return std::clamp(int(height * line.share), line.least, line.most);
}

QLabel *Line(QWidget *parent, const char *name, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    // The panel, not the text, decides the size; the letters follow it.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

// One line: the message, then what the detail says.
QString Why(const CommandOutcome &outcome)
{
    QStringList parts{OutcomeMessage(outcome), outcome.detail};
    parts.removeAll(QString());
    if (parts.isEmpty() && outcome.interrupted)
        parts << PortPanel::tr("Stopped before it was done.");
    return parts.join(QLatin1Char(' ')).simplified();
}

} // namespace

PortPanel::PortPanel(const QString &port, QWidget *parent) : QGroupBox(parent), m_portName(port)
{
    setObjectName(QStringLiteral("panel ") + port);
    setAccessibleName(port);
    setAutoFillBackground(true);
    setMinimumSize(220, 120);
    m_port = Line(this, "port", true);
    m_port->setText(port);
    m_state = Line(this, "state", true);
    m_detail = Line(this, "detail", false);
    m_counts = Line(this, "counts", false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_port, 3);
    layout->addWidget(m_state, 5);
    layout->addWidget(m_detail, 2);
    layout->addWidget(m_counts, 2);
    ShowWaiting();
    ShowCounts(0, 0);
}

void PortPanel::ShowWaiting()
{
    Show(tr("Waiting for a radio"), QString(), Look::Idle);
}

void PortPanel::ShowReady()
{
    if (m_look != Look::Pass && m_look != Look::Fail)
        ShowWaiting();
}

void PortPanel::ShowActivity(const LinkActivity &activity)
{
    using Kind = LinkActivity::Kind;
    switch (activity.kind) {
    case Kind::Program:
    case Kind::Identify:
    case Kind::ReadBlock:
        Show(tr("Reading"), QString(), Look::Busy);
        break;
    case Kind::WriteBlock:
        Show(tr("Writing block %1 of %2").arg(activity.ordinal).arg(activity.count), QString(), Look::Busy);
        break;
    case Kind::CheckBlock:
        Show(tr("Checking"), QString(), Look::Busy);
        break;
    case Kind::End:
        break;
    }
}

void PortPanel::ShowResult(const StationAttempt &attempt)
{
    const QString serial = attempt.serial.isEmpty() ? tr("(no serial number)") : attempt.serial;
    if (attempt.Passed())
        Show(tr("PASS"), serial, Look::Pass);
    else
        Show(tr("FAILED"), QStringLiteral("%1: %2").arg(serial, Why(attempt.outcome)), Look::Fail);
}

void PortPanel::ShowUnavailable(const QString &message, const QString &detail)
{
    Show(tr("Port cannot be opened"),
         QStringList{message, detail, tr("Trying again until it opens.")}.join(QLatin1Char(' ')).simplified(),
         Look::Problem);
}

void PortPanel::ShowCounts(int passed, int failed)
{
    m_counts->setText(tr("Passed %1   Failed %2").arg(passed).arg(failed));
}

void PortPanel::ShowEnded()
{
    if (m_look == Look::Pass || m_look == Look::Fail)
        return;
    Show(tr("Stopped"), QString(), Look::Idle);
}

void PortPanel::Show(const QString &state, const QString &detail, Look look)
{
    m_state->setText(state);
    m_detailText = detail;
    m_detail->setToolTip(detail);
    // A screen reader hears the panel's state with its name.
    setAccessibleDescription(detail.isEmpty() ? state : state + QLatin1String(": ") + detail);
    if (look != m_look) {
        m_look = look;
        // Dark letters on light colours, white on dark ones: legible either way.
        const auto paint = [this](const char *background, const char *text) {
            QPalette colours = parentWidget() ? parentWidget()->palette() : palette();
            colours.setColor(QPalette::Window, QColor(QLatin1String(background)));
            colours.setColor(QPalette::WindowText, QColor(QLatin1String(text)));
            setPalette(colours);
        };
        switch (look) {
        case Look::Idle:
            setPalette(QPalette());
            break;
        case Look::Busy:
            paint("#d6e6f7", "#102a43");
            break;
        case Look::Pass:
            paint("#1e7b34", "#ffffff");
            break;
        case Look::Fail:
            paint("#b3261e", "#ffffff");
            break;
        case Look::Problem:
            paint("#f5d76e", "#3d2e00");
            break;
        }
    }
    FitLetters();
}

void PortPanel::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    FitLetters();
}

void PortPanel::FitLetters()
{
    const int height = contentsRect().height();
    const int width = m_state->contentsRect().width();
    const std::pair<QLabel *, LineSize> lines[] = {
        {m_port, PortSize}, {m_state, StateSize}, {m_detail, DetailSize}, {m_counts, CountsSize}};
    for (const auto &[label, size] : lines) {
        QFont font = label->font();
        font.setPixelSize(PixelSize(size, height));
        // A long state gets smaller letters rather than losing its end.
        while (label != m_detail && font.pixelSize() > size.least
               && QFontMetrics(font).horizontalAdvance(label->text()) > width)
            font.setPixelSize(font.pixelSize() - 1);
        if (font != label->font())
            label->setFont(font);
    }
    // Why a radio failed keeps to one line: as much as fits, all of it in the tooltip.
    m_detail->setText(m_detail->fontMetrics().elidedText(m_detailText, Qt::ElideRight, width));
}

} // namespace kelvra
