#include "ui/messageboxes.h"

#include "lang/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextEdit>

namespace kelvra {

namespace {

void Dress(QMessageBox &box, const QWidget *parent, const QString &text)
{
    // A box is a window of its own and does not inherit the window's font.
    if (parent)
        box.setFont(parent->font());
    box.setWindowTitle(ProgramName());
    box.setText(text);
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget *parent) : m_parent(parent) {}

void QtMessageBoxes::SetParentWidget(QWidget *parent)
{
    m_parent = parent;
}

bool QtMessageBoxes::Show(const QString &text, Buttons buttons, Operator::Icon icon, const QString &detail)
{
    QWidget *parent = m_parent ? m_parent.data() : QApplication::activeWindow();
    QMessageBox box(parent);
    Dress(box, parent, text);
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
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
        // Qt leaves the details unnamed; a screen reader would say only "text".
        for (QTextEdit *details : box.findChildren<QTextEdit *>())
            details->setAccessibleName(QCoreApplication::translate("MessageBoxes", "Details"));
    }
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

void ShowNotice(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(parent);
    Dress(*box, parent, text);
    box->setIcon(QMessageBox::Warning);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace kelvra
