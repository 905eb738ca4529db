#pragma once

#include <QLocale>
#include <QtGlobal>

namespace kelvra {

// The interface speaks Chinese only on a Chinese (People's Republic of
// China) system; every other locale, other Chinese ones included, gets English.

constexpr qint16 LanguageEnglish = 1;
constexpr qint16 LanguageChinese = 2;

// The Windows locale identifier the locale corresponds to, e.g. 0x0804 for
// Chinese (China), 0x0404 for Chinese (Taiwan), 0x007F for the C locale.
// Languages without a table entry get 0x1000 (custom, unspecified).
quint32 WindowsLocaleId(const QLocale &locale);

// LanguageChinese for the identifier 0x0804, LanguageEnglish for any other.
qint16 LanguageIdForLocale(const QLocale &locale);

} // namespace kelvra
