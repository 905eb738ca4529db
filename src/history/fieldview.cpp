#include "history/fieldview.h"

#include "history/historycsv.h"
#include "lang/captions.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "record/radioinfo.h"

#include <QCoreApplication>

#include <array>

namespace kelvra {

namespace {

QString Flag(qint16 value)
{
    return QString::number(value);
}

QString Band(const RadioInfo &info)
{
    const QString text = BandTextOfCode(info.BandCode);
    return text.isEmpty() ? QString::number(info.BandCode) : text;
}

// Which bits of each byte some field interprets.
std::array<quint8, RadioImage::Size> InterpretedBits()
{
    std::array<quint8, RadioImage::Size> bits{};
    for (const ImageField &field : ImageFields()) {
        for (int i = field.offset; i < field.offset + field.width; ++i)
            bits[std::size_t(i)] |= field.bit < 0 ? 0xFF : quint8(1u << field.bit);
    }
    return bits;
}

} // namespace

const std::vector<ImageField> &ImageFields()
{
    // The flags have no caption of their own in the caption table except
    // those the window shows or names in both languages.
    static const std::vector<ImageField> fields = {
        {"BandCode", "bandCode", 7, 1, -1, "Label1_1", true, &Band},
        {"AreaCode", "areaCode", 9, 4, -1, "Label2", false, [](const RadioInfo &i) { return i.AreaCode; }},
        {"FiveTone", "fiveTone", 13, 1, 7, "Check1", false, [](const RadioInfo &i) { return Flag(i.FiveTone); }},
        {"TwoTone", "twoTone", 13, 1, 6, "Check2", false, [](const RadioInfo &i) { return Flag(i.TwoTone); }},
        {"Dtmf", "dtmf", 13, 1, 5, "Check3", false, [](const RadioInfo &i) { return Flag(i.Dtmf); }},
        {"Scramble", "scramble", 13, 1, 4, "Check5", false, [](const RadioInfo &i) { return Flag(i.Scramble); }},
        {"FactoryMode", "factoryMode", 13, 1, 3, "Check7", false,
         [](const RadioInfo &i) { return Flag(i.FactoryMode); }},
        {"FreqSet", "freqSet", 13, 1, 2, "Check8", true, [](const RadioInfo &i) { return Flag(i.FreqSet); }},
        {"Kill", "kill", 14, 1, 0, "Check4", false, [](const RadioInfo &i) { return Flag(i.Kill); }},
        {"Faint", "faint", 14, 1, 1, "Check6", false, [](const RadioInfo &i) { return Flag(i.Faint); }},
        {"SerialNumber", "serialNumber", 16, 16, -1, "Label1_2", false,
         [](const RadioInfo &i) { return FieldText(i.SerialNumber); }},
        {"ProductionDate", "producedDate", 32, 16, -1, "Label1_3", false,
         [](const RadioInfo &i) { return FieldText(i.ProductionDate); }},
        {"ManufactureCode", "manufactureCode", 48, 8, -1, "Label1_7", false,
         [](const RadioInfo &i) { return FieldText(i.ManufactureCode); }},
        {"UserCode", "userCode", 56, 4, -1, "Label1_8", false,
         [](const RadioInfo &i) { return FieldText(i.UserCode); }},
        {"ProgramPassword", "password", 60, 4, -1, "Label1_13", true,
         [](const RadioInfo &i) { return FieldText(i.ProgramPassword); }},
        {"MaintenanceDate", "maintainedDate", 64, 16, -1, "Label1_4", false,
         [](const RadioInfo &i) { return FieldText(i.MaintenanceDate); }},
        {"DealerCode", "dealerCode", 80, 16, -1, "Label1_9", true,
         [](const RadioInfo &i) { return FieldText(i.DealerCode); }},
        {"StockDate", "stockDate", 96, 16, -1, "Label1_10", true,
         [](const RadioInfo &i) { return FieldText(i.StockDate); }},
        {"SellDate", "sellDate", 112, 16, -1, "Label1_11", true,
         [](const RadioInfo &i) { return FieldText(i.SellDate); }},
        {"Seller", "seller", 128, 16, -1, "Label1_12", true, [](const RadioInfo &i) { return FieldText(i.Seller); }},
        {"MaintenanceNote", "maintenanceNote", 144, 64, -1, "Label1_5", false,
         [](const RadioInfo &i) { return FieldText(i.MaintenanceNote); }},
    };
    return fields;
}

const ImageField *FindImageField(const QString &id)
{
    for (const ImageField &field : ImageFields()) {
        if (id == QLatin1String(field.id))
            return &field;
    }
    return nullptr;
}

const ImageField *FindImageFieldByJson(const QString &name)
{
    for (const ImageField &field : ImageFields()) {
        if (name == QLatin1String(field.json))
            return &field;
    }
    return nullptr;
}

QString FieldCaption(const ImageField &field, qint16 languageId)
{
    if (const CaptionRow *row = FindCaption(field.control))
        return CaptionText(*row, languageId);
    // 5Tone, 2Tone and DTMF read the same in both languages.
    static const std::pair<const char *, const char *> designed[]
        = {{"Check1", "5Tone"}, {"Check2", "2Tone"}, {"Check3", "DTMF"}};
    for (const auto &[control, caption] : designed) {
        if (qstrcmp(control, field.control) == 0)
            return QLatin1String(caption);
    }
    return QLatin1String(field.id);
}

QString FieldValueText(const ImageField &field, const std::optional<QString> &value)
{
    if (!value)
        return UnknownValueText();
    if (field.bit >= 0)
        return *value == QLatin1String("1") ? QCoreApplication::translate("HistoryDiff", "on")
                                            : QCoreApplication::translate("HistoryDiff", "off");
    return *value;
}

std::vector<std::optional<QString>> FieldValues(const KnownImage &image)
{
    RadioInfo info;
    DecodeRadioInfo(image.Filled(0), info);
    std::vector<std::optional<QString>> values;
    for (const ImageField &field : ImageFields()) {
        if (image.AllKnown(field.offset, field.width))
            values.emplace_back(field.value(info));
        else
            values.emplace_back(std::nullopt);
    }
    return values;
}

QString SerialNumberOf(const KnownImage &image)
{
    const ImageField &field = *FindImageField(QStringLiteral("SerialNumber"));
    if (!image.AllKnown(field.offset, field.width))
        return QString();
    RadioInfo info;
    DecodeRadioInfo(image.Filled(0), info);
    return field.value(info);
}

QStringList ChangedFieldIds(const KnownImage &before, const KnownImage &after)
{
    const auto was = FieldValues(before);
    const auto is = FieldValues(after);
    QStringList changed;
    for (std::size_t i = 0; i < ImageFields().size(); ++i) {
        if (was[i] && is[i] && *was[i] != *is[i])
            changed << QLatin1String(ImageFields()[i].id);
    }
    return changed;
}

int OtherBytesDiffering(const KnownImage &before, const KnownImage &after)
{
    static const auto interpreted = InterpretedBits();
    int count = 0;
    for (int i = 0; i < RadioImage::Size; ++i) {
        if (before.Known(i) && after.Known(i) && ((before.Byte(i) ^ after.Byte(i)) & ~interpreted[std::size_t(i)]))
            ++count;
    }
    return count;
}

std::optional<RestoreValues> RestoreValuesOf(const HistoryEntry &entry)
{
    const KnownImage &image = entry.before;
    for (const ImageField &field : ImageFields()) {
        if (field.writable && !image.AllKnown(field.offset, field.width))
            return std::nullopt;
    }
    RadioInfo info;
    DecodeRadioInfo(image.Filled(0), info);
    RestoreValues values;
    values.sourceUuid = entry.uuid;
    values.serialNumber = image.AllKnown(16, 16) ? FieldText(info.SerialNumber) : entry.serialNumber;
    values.model = entry.model;
    values.dealerCode = FieldText(info.DealerCode);
    values.stockDate = FieldText(info.StockDate);
    values.sellDate = FieldText(info.SellDate);
    values.seller = FieldText(info.Seller);
    values.password = FieldText(info.ProgramPassword);
    values.bandCode = info.BandCode;
    values.freqSet = info.FreqSet;
    return values;
}

} // namespace kelvra
