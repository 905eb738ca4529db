#include "ui/noteedit.h"

#include "record/imagetext.h"
#include "ui/imagetextlimit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace kelvra {

NoteEdit::NoteEdit(QWidget *parent) : QPlainTextEdit(parent) {}

int NoteEdit::room() const
{
    const QTextCursor cursor = textCursor();
    QString kept = toPlainText();
    kept.remove(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    return m_maxLength - ImageTextLimit::Bytes(kept);
}

void NoteEdit::keyPressEvent(QKeyEvent *event)
{
    const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    // Ctrl with a letter is a command (select all, undo, paste), not a character.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool command = mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier);
    const bool inserts = !command && (newLine || (!text.isEmpty() && text.at(0).isPrint()));
    if (inserts) {
        const int adds = newLine ? 1 : ImageTextLimit::Bytes(text);
        if (adds > room()) {
            event->accept();
            emit Refused();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void NoteEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const qsizetype fits = ImageTextFittingLength(commit, qMax(0, room()));
    if (commit.size() > fits) {
        event->setCommitString(commit.left(fits), event->replacementStart(), event->replacementLength());
        emit Refused();
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void NoteEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    const QString text = source->text();
    // Never more than fits, and never half of a character.
    const qsizetype fits = ImageTextFittingLength(text, qMax(0, room()));
    textCursor().insertText(text.left(fits));
    if (fits < text.size())
        emit Refused();
}

} // namespace kelvra
