#include "history/entrynames.h"

#include "history/fieldview.h"
#include "lang/captions.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "record/radioinfo.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace kelvra {

namespace {

QJsonValue OrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// An entry's own items that the caption table does not name.
struct EntryItem
{
    const char *name;
    const char *caption;
};
constexpr EntryItem EntryItems[] = {
    {"historyId", QT_TRANSLATE_NOOP("History", "Entry")},
    {"time", QT_TRANSLATE_NOOP("History", "Time")},
    {"operation", QT_TRANSLATE_NOOP("History", "Operation")},
    {"result", QT_TRANSLATE_NOOP("History", "Result")},
    {"message", QT_TRANSLATE_NOOP("History", "Message")},
    {"detail", QT_TRANSLATE_NOOP("History", "Detail")},
    {"port", QT_TRANSLATE_NOOP("History", "Port")},
    {"device", QT_TRANSLATE_NOOP("History", "Device")},
    {"adapterSerial", QT_TRANSLATE_NOOP("History", "Adapter serial number")},
    {"changed", QT_TRANSLATE_NOOP("History", "Changed fields")},
    {"bench", QT_TRANSLATE_NOOP("History", "Bench")},
    {"restoredFrom", QT_TRANSLATE_NOOP("History", "Restored from")},
};

void Insert(QJsonObject &object, const QStringList &path, const QJsonValue &value)
{
    if (path.size() == 1) {
        object.insert(path.first(), value);
        return;
    }
    QJsonObject inner = object.value(path.first()).toObject();
    Insert(inner, path.mid(1), value);
    object.insert(path.first(), inner);
}

} // namespace

NamedValues RadioValues(const KnownImage &image, bool maskPassword)
{
    RadioInfo info;
    InitRadioInfo(info);
    DecodeRadioInfo(image.Filled(0), info);
    NamedValues values;
    for (const ImageField &field : ImageFields()) {
        const bool known = image.AllKnown(field.offset, field.width);
        const QString name = QLatin1String(field.json);
        if (qstrcmp(field.id, "BandCode") == 0) {
            values.append({name, known ? QJsonValue(info.BandCode) : QJsonValue()});
            values.append({QStringLiteral("band"), known ? OrNull(BandTextOfCode(info.BandCode)) : QJsonValue()});
        } else if (field.bit >= 0) {
            values.append({QStringLiteral("features.") + name,
                           known ? QJsonValue(field.value(info) == QLatin1String("1")) : QJsonValue()});
        } else if (!known) {
            values.append({name, QJsonValue()});
        } else {
            const bool masked = maskPassword && qstrcmp(field.id, "ProgramPassword") == 0;
            values.append({name, masked ? QStringLiteral("****") : field.value(info)});
        }
    }
    return values;
}

NamedValues EntryNamedValues(const HistoryEntry &entry, bool showPasswords)
{
    NamedValues values{
        {QStringLiteral("historyId"), entry.uuid},
        {QStringLiteral("time"), HistoryTimeText(entry.time)},
        {QStringLiteral("operation"), OperationWord(entry.operation)},
        {QStringLiteral("result"), ResultWord(entry.result)},
        {QStringLiteral("message"), OrNull(entry.message)},
        {QStringLiteral("detail"), OrNull(entry.detail)},
        {QStringLiteral("port"), OrNull(entry.portName)},
        {QStringLiteral("device"), OrNull(entry.devicePath)},
        {QStringLiteral("adapterSerial"), OrNull(entry.adapterSerial)},
        {QStringLiteral("model"), OrNull(entry.model)},
        {QStringLiteral("serialNumber"), OrNull(entry.serialNumber)},
        {QStringLiteral("changed"), QJsonArray::fromStringList(JsonNames(entry.changedFields))},
        {QStringLiteral("bench"), OrNull(entry.bench)},
        {QStringLiteral("restoredFrom"), OrNull(entry.restoredFrom)},
    };
    for (const auto &[side, image] : {std::pair{"before.", &entry.before}, std::pair{"after.", &entry.after}}) {
        for (const auto &[name, value] : RadioValues(*image, !showPasswords))
            values.append({QLatin1String(side) + name, value});
    }
    return values;
}

QJsonObject Nested(const NamedValues &values)
{
    QJsonObject object;
    for (const auto &[name, value] : values)
        Insert(object, name.split(QLatin1Char('.')), value);
    return object;
}

QStringList JsonNames(const QStringList &fieldIds)
{
    QStringList names;
    for (const QString &id : fieldIds) {
        const ImageField *field = FindImageField(id);
        names << (field ? QLatin1String(field->json) : id);
    }
    return names;
}

QStringList FieldCaptions(const QStringList &fieldIds, qint16 languageId)
{
    QStringList captions;
    for (const QString &id : fieldIds) {
        const ImageField *field = FindImageField(id);
        captions << (field ? FieldCaption(*field, languageId) : id);
    }
    return captions;
}

QString ChangedFieldsText(const QStringList &fieldIds, qint16 languageId)
{
    return FieldCaptions(fieldIds, languageId).join(QCoreApplication::translate("History", ", "));
}

QString ItemCaption(const QString &name, qint16 languageId)
{
    for (const EntryItem &item : EntryItems) {
        if (name == QLatin1String(item.name))
            return QCoreApplication::translate("History", item.caption);
    }
    if (name == QLatin1String("model"))
        return CaptionText(*FindCaption("Label1_0"), languageId);
    if (name == QLatin1String("band"))
        return CaptionText(*FindCaption("Label1_1"), languageId);
    if (name == QLatin1String("version"))
        return CaptionText(*FindCaption("Label1_6"), languageId);
    const QString field = name.startsWith(QLatin1String("features.")) ? name.mid(9) : name;
    if (const ImageField *found = FindImageFieldByJson(field))
        return FieldCaption(*found, languageId);
    return name;
}

} // namespace kelvra
