#pragma once

#include <QString>

namespace kelvra {

// Every text the program shows in a message box, in one place. Only the band
// prompt depends on the interface language; each box is titled ProgramName().

QString ProgramName();

QString ReadCompleteText();
QString WriteCompleteText();
QString ReadFailureText();
QString WriteFailureText();
QString CannotOpenPortText();
// Three lines joined by CR LF: "Model Error", "PC is " + pcModel, "Radio is " + radioModel.
QString ModelErrorText(const QString &pcModel, const QString &radioModel);
// Shown when the operating system cannot be identified, before any language is chosen.
QString UnknownSystemText();

// The write's question when the radio's band differs from the window's.
// Empty for any id other than LanguageEnglish and LanguageChinese.
QString BandPromptText(qint16 languageId);

} // namespace kelvra
