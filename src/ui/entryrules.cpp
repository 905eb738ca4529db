// What the text fields do while the operator types: the selection on
// arrival, the serial number's key filter, Enter as a move to the next
// field, and how much text each field takes, with a sign when it is full.
#include "ui/frmmain.h"

#include "ui/fullfieldsign.h"
#include "ui/imagetextlimit.h"
#include "ui/noteedit.h"
#include "ui_frmmain.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace kelvra {

namespace {

constexpr qint16 KeyCopy = 3;
constexpr qint16 KeyPaste = 22;
constexpr qint16 KeyCut = 24;
constexpr qint16 KeyEnter = 13;

// The code of the character a key press types, as the key handler sees it:
// Ctrl plus a letter is its control code, Enter 13, Backspace 8. Keys that
// type nothing (arrows, Delete, Tab, function keys) give no code.
bool TypedCharacters(const QKeyEvent &event, QList<qint16> &codes)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        codes = {KeyEnter};
        return true;
    }
    if (key == Qt::Key_Backspace) {
        codes = {8};
        return true;
    }
    if (key == Qt::Key_Escape) {
        codes = {27};
        return true;
    }
    // AltGr arrives as Ctrl+Alt and types real characters.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        codes = {qint16(key - Qt::Key_A + 1)};
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).unicode() < 32)
        return false;
    codes.clear();
    for (const QChar ch : text)
        codes.append(qint16(ch.unicode()));
    return true;
}

// The focus comes back to a field it never left when a context menu closes
// or the window is activated again; only a real arrival selects the text.
bool ArrivesInField(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

bool IsEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
           && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

void FrmMain::SetUpEntryRules()
{
    // Told through queued calls, so that the sign counts what a field holds
    // once the refused edit is over.
    auto *sign = new FullFieldSign(this);
    for (QWidget *field : m_text1) {
        field->installEventFilter(this);
        // The design's length limits count characters; the radio counts bytes.
        if (auto *line = qobject_cast<QLineEdit *>(field)) {
            auto *limit = new ImageTextLimit(line->maxLength(), line);
            line->setValidator(limit);
            const auto full = [sign, line, limit] { sign->Refused(line, line->text(), limit->MaxBytes()); };
            connect(line, &QLineEdit::inputRejected, sign, full, Qt::QueuedConnection);
            connect(limit, &ImageTextLimit::Cut, sign, full, Qt::QueuedConnection);
        } else if (auto *note = qobject_cast<NoteEdit *>(field)) {
            const auto full = [sign, note] { sign->Refused(note, note->toPlainText(), note->maxLength()); };
            connect(note, &NoteEdit::Refused, sign, full, Qt::QueuedConnection);
        }
    }
    for (QPushButton *button : {Command1(), Command2(), Command3(), Command4()})
        button->installEventFilter(this);
}

void FrmMain::Text1_GotFocus(int index)
{
    if (index == MaintenanceDateField && Text1Text(index).isEmpty())
        SetText1Text(index, QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));

    if (index == NoteField)
        m_ui->Text1_4->selectAll();
    else if (auto *field = qobject_cast<QLineEdit *>(Text1(index)))
        field->selectAll();
}

void FrmMain::Text1_KeyPress(int index, qint16 &key)
{
    if (index != SerialNumberField)
        return;
    if (key == KeyCopy || key == KeyPaste || key == KeyCut)
        key = 0;
    if (key == KeyEnter) {
        // A direct move rather than an injected Tab: it lands where Tab would.
        focusNextChild();
        key = 0;
        return;
    }
    if (key < 0 || key > 127)
        key = 0;
    if (key >= 32 && key <= 126) {
        const bool alphanumeric = (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
        if (!alphanumeric)
            key = 0;
    }
}

int FrmMain::Text1Index(const QObject *field) const
{
    for (int i = 0; i < int(m_text1.size()); ++i) {
        if (m_text1[i] == field)
            return i;
    }
    return -1;
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a focused button presses it, as on the system the window's users know.
    if (auto *button = qobject_cast<QPushButton *>(watched)) {
        if (!IsEnter(event))
            return QWidget::eventFilter(watched, event);
        button->animateClick();
        return true;
    }

    const int index = Text1Index(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        // The field settles its own focus first, so the selection made here stays.
        watched->event(event);
        if (ArrivesInField(static_cast<QFocusEvent *>(event)->reason()))
            Text1_GotFocus(index);
        return true;
    case QEvent::KeyPress: {
        QList<qint16> codes;
        if (!TypedCharacters(*static_cast<QKeyEvent *>(event), codes))
            return false;
        for (qint16 code : codes) {
            Text1_KeyPress(index, code);
            if (code == 0) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    case QEvent::InputMethod: {
        // Characters from an input method pass the same rules one by one.
        auto *input = static_cast<QInputMethodEvent *>(event);
        const QString commit = input->commitString();
        QString kept;
        for (const QChar ch : commit) {
            qint16 code = qint16(ch.unicode());
            Text1_KeyPress(index, code);
            if (code != 0)
                kept.append(ch);
        }
        if (kept != commit)
            input->setCommitString(kept, input->replacementStart(), input->replacementLength());
        return false;
    }
    default:
        return false;
    }
}

} // namespace kelvra
