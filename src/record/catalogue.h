#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kelvra {

// The three models the tool serves and their frequency bands. A band code is
// the index into MasterBandTable; the per-model lists carry no codes of their
// own, so a band chosen from a model's list always maps back to one code.

// "KR350UV", "KR350SU", "KR350SV": the model box's items; the index is the model index.
const QStringList &ListedModels();

// Radios report a few spellings besides the listed ones. The two tables
// differ on purpose: each knows only two of the three extra spellings.
QString NormalizeModel(const QString &model);
QString DisplayModel(const QString &model);

// recordModel is not consulted: a read only asks whether the radio's model is served.
bool IsKnownModel(const QString &recordModel, const QString &radioModel);
bool IsSameModel(const QString &recordModel, const QString &radioModel);

const QStringList &MasterBandTable();

// Band codes offered for a model index, in display order; empty for -1 or an unknown index.
QList<int> ModelBandCodes(int modelIndex);
QStringList ModelBandList(int modelIndex);

// -1 when the text is not a band of the table.
int BandCodeOfText(const QString &text);
// Empty when the code has no band.
QString BandTextOfCode(int code);

} // namespace kelvra
