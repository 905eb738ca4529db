#pragma once

#include <QValidator>

namespace kelvra {

// A field holds no more than the radio stores for it: maxBytes bytes of GBK,
// where an ASCII character takes one byte and a Chinese character two.
// Typed or pasted characters that do not fit are dropped at the caret, as a
// length limit drops them; what stands after the caret is kept, and Cut says
// that something was dropped.
class ImageTextLimit : public QValidator
{
    Q_OBJECT

public:
    ImageTextLimit(int maxBytes, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
    int MaxBytes() const { return m_maxBytes; }

    // Cuts the characters just before pos until text fits in maxBytes; false
    // when even the text after pos does not fit.
    static bool Fit(QString &text, int &pos, int maxBytes);
    // The bytes that text takes inside the radio.
    static int Bytes(QStringView text);

signals:
    // The field was offered more than it takes.
    void Cut() const;

private:
    int m_maxBytes;
};

} // namespace kelvra
