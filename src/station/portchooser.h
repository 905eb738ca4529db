#pragma once

#include "link/portdirectory.h"

#include <QListWidget>
#include <QSet>
#include <QStringList>
#include <QTimer>

namespace kelvra {

// The ports a station runs on, ticked in a list of the ports present: the
// detected devices and the aliases, as the main window lists them and
// refreshed as often. A port ticked stays ticked while it comes and goes;
// only a port present counts.
class PortChooser : public QListWidget
{
    Q_OBJECT
public:
    PortChooser(const QStringList &aliasDirs, const QString &sysTtyRoot, const QString &devRoot,
                QWidget *parent = nullptr);

    // Ticks these ports now, or as soon as they appear.
    void Want(const QStringList &ports);
    // The ports ticked and present, in ascending number.
    QStringList Chosen() const;
    // Brings the list in line with the ports present.
    void Refresh();

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tall enough for the rows the ports take at this width.
    void FitHeight();

    PortDirectory m_directory;
    QSet<QString> m_wanted;
    QTimer m_refresh;
};

} // namespace kelvra
