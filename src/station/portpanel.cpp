#include "station/portpanel.h"

#include "production/stationtally.h"
#include "services/commandoutcome.h"

#include <QLabel>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvra {

namespace {

// The letters take this share of their line's height, between sizes in
// pixels that keep them readable and no taller than a glance needs. The
// lines share the panel's height 3 : 5 : 2 : 2, the port with its count on top.
constexpr double LetterShare = 0.7;
struct LetterSize
{
    int least;
    int most;
};
constexpr LetterSize PortSize{12, 32};
constexpr LetterSize StateSize{16, 64};
constexpr LetterSize SerialSize{11, 24};
constexpr LetterSize DetailSize{11, 20};

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

// In one line: why the station refused the radio, else what the link found
// (the closing message, "Write Failure!", says no more than FAILED does).
QString Why(const CommandOutcome &outcome)
{
    for (const QString &why : {outcome.refusal, outcome.detail, outcome.result.message}) {
        if (!why.trimmed().isEmpty())
            return why.simplified();
    }
    return outcome.interrupted ? PortPanel::tr("Stopped before it was done.") : QString();
}

} // namespace

PortPanel::PortPanel(const QString &port, QWidget *parent) : QGroupBox(parent), m_portName(port)
{
    setObjectName(QStringLiteral("panel ") + port);
    setAccessibleName(port);
    setAutoFillBackground(true);
    // Room for every line at its least size.
    setMinimumSize(200, 100);
    m_port = Line(this, "port", true);
    m_port->setText(port);
    m_counts = Line(this, "counts", false);
    m_counts->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_state = Line(this, "state", true);
    m_serial = Line(this, "serial", false);
    m_detail = Line(this, "detail", false);
    auto *top = new QHBoxLayout;
    top->addWidget(m_port, 2);
    top->addWidget(m_counts, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 2, 10, 4);
    layout->setSpacing(0);
    layout->addLayout(top, 3);
    layout->addWidget(m_state, 5);
    layout->addWidget(m_serial, 2);
    layout->addWidget(m_detail, 2);
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
        Show(tr("PASS"), QString(), Look::Pass, serial);
    else
        Show(tr("FAILED"), Why(attempt.outcome), Look::Fail, serial);
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
    FitLetters();
}

void PortPanel::ShowEnded()
{
    if (m_look == Look::Pass || m_look == Look::Fail)
        return;
    Show(tr("Stopped"), QString(), Look::Idle);
}

void PortPanel::Show(const QString &state, const QString &detail, Look look, const QString &serial)
{
    // Every block of a read says "Reading" again: only a change is laid out and told to a screen reader.
    if (look == m_look && state == m_state->text() && serial == m_serial->text() && detail == m_detailText)
        return;
    m_state->setText(state);
    m_serial->setText(serial);
    m_detailText = detail;
    m_detail->setToolTip(detail);
    // A screen reader hears the panel's state with its name.
    QStringList heard{state, serial, detail};
    heard.removeAll(QString());
    setAccessibleDescription(heard.join(QLatin1String(": ")));
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
    const std::pair<QLabel *, LetterSize> lines[] = {{m_port, PortSize},     {m_counts, PortSize},
                                                     {m_state, StateSize},   {m_serial, SerialSize},
                                                     {m_detail, DetailSize}};
    for (const auto &[label, size] : lines) {
        QFont font = label->font();
        font.setPixelSize(std::clamp(int(label->contentsRect().height() * LetterShare), size.least, size.most));
        // A long state gets smaller letters rather than losing its end.
        while (label != m_detail && font.pixelSize() > size.least
               && QFontMetrics(font).horizontalAdvance(label->text()) > label->contentsRect().width())
            font.setPixelSize(font.pixelSize() - 1);
        if (font != label->font())
            label->setFont(font);
    }
    // Why a radio failed keeps to one line: as much as fits, all of it in the tooltip.
    m_detail->setText(
        m_detail->fontMetrics().elidedText(m_detailText, Qt::ElideRight, m_detail->contentsRect().width()));
}

} // namespace kelvra
