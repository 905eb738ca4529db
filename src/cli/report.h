#pragma once

#include "services/commandoutcome.h"

#include <QJsonObject>
#include <QString>

namespace kelvra {

class CommandPort;

// How a command tells what its read or write came to: one JSON object for
// programs, a few lines in the interface's language for people.

// Keys: operation, result, port, device, message, detail, historyId, radio,
// image, and for a write changed and verified. A value not known is null.
QJsonObject OutcomeJson(const CommandOutcome &outcome, const CommandPort &port);
QByteArray JsonLine(const QJsonObject &object);

// languageId: LanguageEnglish or LanguageChinese, for the field captions.
QString OutcomeText(const CommandOutcome &outcome, const CommandPort &port, qint16 languageId);
// One line: what the radio was left with when the command was interrupted.
QString InterruptedText(const CommandOutcome &outcome);
// Lines when the operation could not be recorded in the history, or the
// history file was found damaged and set aside; empty otherwise.
QString HistoryWarning(const CommandOutcome &outcome);

} // namespace kelvra
