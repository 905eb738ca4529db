#include "station/portchooser.h"

#include "services/portchoices.h"

#include <QResizeEvent>

namespace kelvra {

PortChooser::PortChooser(const QStringList &aliasDirs, const QString &sysTtyRoot, const QString &devRoot,
                         QWidget *parent)
    : QListWidget(parent), m_directory(aliasDirs, sysTtyRoot, devRoot)
{
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setSpacing(2);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (item->checkState() == Qt::Checked)
            m_wanted.insert(item->text());
        else
            m_wanted.remove(item->text());
    });
    m_refresh.setInterval(PortRefreshIntervalMs);
    connect(&m_refresh, &QTimer::timeout, this, &PortChooser::Refresh);
    m_refresh.start();
    Refresh();
}

void PortChooser::Want(const QStringList &ports)
{
    for (const QString &port : ports)
        m_wanted.insert(port.toUpper());
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(m_wanted.contains(item(i)->text()) ? Qt::Checked : Qt::Unchecked);
}

QStringList PortChooser::Chosen() const
{
    QStringList chosen;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->checkState() == Qt::Checked)
            chosen << item(i)->text();
    }
    return chosen;
}

void PortChooser::Refresh()
{
    const QList<PortChoice> ports = PortChoices(m_directory);
    bool same = ports.size() == count();
    for (int i = 0; same && i < count(); ++i)
        same = ports.at(i) == PortChoice{item(i)->text(), item(i)->toolTip()};
    // A list that shows the same ports is left alone, so the focus and a tick under way survive.
    if (same)
        return;
    const QString current = currentItem() ? currentItem()->text() : QString();
    const QSignalBlocker quiet(this);
    clear();
    for (const PortChoice &port : ports) {
        auto *entry = new QListWidgetItem(port.text, this);
        entry->setToolTip(port.toolTip);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        entry->setCheckState(m_wanted.contains(port.text) ? Qt::Checked : Qt::Unchecked);
        if (port.text == current)
            setCurrentItem(entry);
    }
    FitHeight();
}

QSize PortChooser::sizeHint() const
{
    return QSize(QListWidget::sizeHint().width(), height());
}

void PortChooser::FitHeight()
{
    doItemsLayout();
    const int content = count() == 0 ? fontMetrics().height() + 2 * spacing() : contentsSize().height();
    setFixedHeight(content + 2 * frameWidth());
}

void PortChooser::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    // Narrower, the ports may wrap into another row.
    if (event->size().width() != event->oldSize().width())
        FitHeight();
}

} // namespace kelvra
