#pragma once

#include <QString>
#include <QStringList>

namespace kelvra {

// KelvraSet history --serial S --pdf FILE: the record of the newest complete
// write of that radio, to hand over with it, as a PDF file readable by its
// owner alone. Exit 0; 1 when the history holds no such write or cannot be
// read; 2 when S names more than one radio; 9 when FILE cannot be written.
int RecordPdf(const QString &serial, const QString &path, bool showPassword);

// Whether a command draws pages (history --pdf): its fonts need a GUI
// application, which runs on the offscreen platform, never on a display.
bool CommandDrawsPages(const QStringList &arguments);

} // namespace kelvra
