#pragma once

#include <QLabel>
#include <QPushButton>

namespace kelvra {

// Small pieces the history window and its parts are built of.

// A caption whose mnemonic takes the focus to buddy.
inline QLabel *BuddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// Named for tests and screen readers; Enter in a field never presses it.
inline QPushButton *HistoryButton(const QString &text, const char *name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace kelvra
