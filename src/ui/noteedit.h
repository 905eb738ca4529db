#pragma once

#include <QPlainTextEdit>

namespace kelvra {

// A wrapping multi-line field that, like a single-line one, refuses typed or
// pasted characters beyond its maximum length, counted as the radio counts
// it: in bytes of GBK. Text set by the program is never cut.
class NoteEdit : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    explicit NoteEdit(QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

signals:
    // Typed or pasted characters were dropped for want of room.
    void Refused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // How many bytes may still go in when the selection is replaced.
    int room() const;

    int m_maxLength = 32767;
};

} // namespace kelvra
