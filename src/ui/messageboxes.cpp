#include "ui/messageboxes.h"

#include "lang/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvra {

QtMessageBoxes::QtMessageBoxes(QWidget *parent) : m_parent(parent) {}

void QtMessageBoxes::SetParentWidget(QWidget *parent)
{
    m_parent = parent;
}

bool QtMessageBoxes::Show(const QString &text, Buttons buttons, Operator::Icon icon, const QString &detail)
{
    QWidget *parent = m_parent ? m_parent.data() : QApplication::activeWindow();
    QMessageBox box(parent);
    // A box is a window of its own and does not inherit the window's font.
    if (parent)
        box.setFont(parent->font());
    box.setWindowTitle(ProgramName());
    box.setText(text);
    switch (icon) {
    case Operator::Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Operator::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Operator::Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    switch (buttons) {
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

} // namespace kelvra
