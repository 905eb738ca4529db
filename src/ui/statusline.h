#pragma once

#include "link/linkactivity.h"

#include <QLabel>

namespace kelvra {

// The line under the buttons that says what a read or write is doing while
// it runs, so that a slow radio is seen to be answering. A screen reader is
// told once per step; a resend only changes what the line shows.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    // The step that a frame going out stands for; writing: it belongs to a write.
    void Show(const LinkActivity &activity, bool writing);
    void Clear();
    // Something the operator should know that no operation is doing; the next step replaces it.
    void ShowNotice(const QString &notice);
    // The line's spoken name, in the interface's language.
    void NameForScreenReaders();

private:
    // Step text without the resend count: what a screen reader was last told.
    void Announce(const QString &step);
};

} // namespace kelvra
