#pragma once

#include "history/historyentry.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kelvra {

struct RadioInfo;

// The radio's block field by field, as the history shows and compares it:
// each image is decoded with the record codec, and a field whose bytes are
// not all known is unknown.
struct ImageField
{
    const char *id;   // the RadioInfo member's name, stable in stored entries
    const char *json; // its name in every output for programs, as read --json has it
    int offset;
    int width;           // bytes the field occupies
    int bit;             // for a flag, its bit in the byte at offset; -1 otherwise
    const char *control; // the main window control whose caption names it
    bool writable;       // a write sends it
    QString (*value)(const RadioInfo &info);
};

// In byte-map order.
const std::vector<ImageField> &ImageFields();
const ImageField *FindImageField(const QString &id);
const ImageField *FindImageFieldByJson(const QString &name);

// The caption a person knows the field by, in the interface's language.
QString FieldCaption(const ImageField &field, qint16 languageId);
// A field's value in words: on or off for a flag, a mark for an unknown value.
QString FieldValueText(const ImageField &field, const std::optional<QString> &value);

// Every field's value in an image; nullopt where it is unknown.
std::vector<std::optional<QString>> FieldValues(const KnownImage &image);

// The radio's serial number as the image holds it; empty while its bytes are not all known.
QString SerialNumberOf(const KnownImage &image);

// Fields known on both sides whose values differ, in byte-map order.
QStringList ChangedFieldIds(const KnownImage &before, const KnownImage &after);

// How many bytes known on both sides differ in bits that no field covers.
int OtherBytesDiffering(const KnownImage &before, const KnownImage &after);

// What "Put these values in the form" hands over: an entry's before-values of
// the fields a write sends, and the radio they belong to.
struct RestoreValues
{
    QString sourceUuid;
    QString serialNumber; // a write with these values must go to this radio only
    QString model;
    QString dealerCode;
    QString stockDate;
    QString sellDate;
    QString seller;
    QString password;
    int bandCode = 0;
    qint16 freqSet = 0;
};

// nullopt when any of those fields is unknown before the entry's operation.
std::optional<RestoreValues> RestoreValuesOf(const HistoryEntry &entry);

} // namespace kelvra
