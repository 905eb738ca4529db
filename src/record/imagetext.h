#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kelvra {

// The radio stores its texts in GBK (code page 936) whatever the host's
// language: ASCII takes one byte, a Chinese character two. Every conversion
// between the image and text goes through here.

QString ImageTextFromBytes(QByteArrayView bytes);

// The longest leading part of text whose bytes fit in maxBytes, never
// splitting a character: half of a double-byte character would corrupt the
// text inside the radio.
QByteArray ImageBytesFitting(const QString &text, int maxBytes);

// How many UTF-16 units of text ImageBytesFitting keeps.
qsizetype ImageTextFittingLength(QStringView text, int maxBytes);

// The bytes that text takes inside the radio.
int ImageTextBytes(QStringView text);

// False when a character of text has no GBK bytes: the radio could not hold it.
bool ImageTextEncodable(QStringView text);

} // namespace kelvra
