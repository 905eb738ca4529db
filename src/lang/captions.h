#pragma once

#include <QString>

#include <array>

namespace kelvra {

// The captions that the main window sets at start-up, by control object
// name, in English and Chinese. Every other caption keeps its design text.
struct CaptionRow
{
    const char *control;
    const char16_t *english;
    const char16_t *chinese;
};

constexpr int CaptionCount = 27;

const std::array<CaptionRow, CaptionCount> &CaptionTable();

// The row of a control, or nullptr when the table has none.
const CaptionRow *FindCaption(const char *control);

// The row's text for a language id (LanguageEnglish or LanguageChinese).
QString CaptionText(const CaptionRow &row, qint16 languageId);

// What a screen reader says for a caption: no access-key marker ("读出(&R)"
// is "读出"), no colon.
QString SpokenCaption(QString caption);

} // namespace kelvra
