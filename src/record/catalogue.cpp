#include "record/catalogue.h"

#include "record/imagecodec.h"

namespace kelvra {

const QStringList &ListedModels()
{
    static const QStringList models{QStringLiteral("KR350UV"), QStringLiteral("KR350SU"),
                                    QStringLiteral("KR350SV")};
    return models;
}

QString NormalizeModel(const QString &model)
{
    const QString text = FieldText(model);
    if (text == QLatin1String("KR350U_"))
        return QStringLiteral("KR350SU");
    if (text == QLatin1String("KR350_V"))
        return QStringLiteral("KR350SV");
    return text;
}

QString DisplayModel(const QString &model)
{
    const QString text = FieldText(model);
    if (text == QLatin1String("KR350_V"))
        return QStringLiteral("KR350SV");
    if (text == QLatin1String("KR350_U"))
        return QStringLiteral("KR350SU");
    return text;
}

bool IsKnownModel(const QString &recordModel, const QString &radioModel)
{
    Q_UNUSED(recordModel)
    return ListedModels().contains(NormalizeModel(radioModel));
}

bool IsSameModel(const QString &recordModel, const QString &radioModel)
{
    return NormalizeModel(recordModel) == NormalizeModel(radioModel);
}

const QStringList &MasterBandTable()
{
    static const QStringList bands{
        QStringLiteral("UHF(400 - 490 MHz) VHF(136 - 174 MHz)"),
        QStringLiteral("UHF(400 - 490 MHz) VHF(144 - 146 MHz)"),
        QStringLiteral("UHF(430 - 440 MHz) VHF(136 - 174 MHz)"),
        QStringLiteral("UHF(430 - 440 MHz) VHF(144 - 146 MHz)"),
        QStringLiteral("UHF(430 - 440 MHz) VHF(144 - 148 MHz)"),
        QStringLiteral("UHF(400 - 438 MHz) VHF(136 - 174 MHz)"),
        QStringLiteral("UHF(420 - 450 MHz) VHF(144 - 148 MHz)"),
        QStringLiteral("UHF(400 - 470 MHz) VHF(136 - 174 MHz)"),
        QStringLiteral("UHF(400 - 490 MHz) VHF(400 - 490 MHz)"),
        QStringLiteral("UHF(430 - 440 MHz) VHF(430 - 440 MHz)"),
        QStringLiteral("UHF(400 - 438 MHz) VHF(400 - 438 MHz)"),
        QStringLiteral("UHF(420 - 450 MHz) VHF(420 - 450 MHz)"),
        QStringLiteral("UHF(136 - 174 MHz) VHF(136 - 174 MHz)"),
        QStringLiteral("UHF(144 - 146 MHz) VHF(144 - 146 MHz)"),
        QStringLiteral("UHF(144 - 148 MHz) VHF(144 - 148 MHz)"),
        QStringLiteral("European version PMR"),
        QStringLiteral("US GMRS"),
        QStringLiteral("Australian UHF CB"),
        QStringLiteral("US GMRS(UV)"),
        QStringLiteral("Australian UHF CB(UV)"),
    };
    return bands;
}

QList<int> ModelBandCodes(int modelIndex)
{
    switch (modelIndex) {
    case 0:
        return {0, 1, 2, 3, 4, 5, 6, 7, 15, 18, 19};
    case 1:
        return {8, 9, 10, 11, 16, 17};
    case 2:
        return {12, 13, 14};
    default:
        return {};
    }
}

QStringList ModelBandList(int modelIndex)
{
    QStringList texts;
    for (int code : ModelBandCodes(modelIndex))
        texts << BandTextOfCode(code);
    return texts;
}

int BandCodeOfText(const QString &text)
{
    return int(MasterBandTable().indexOf(text));
}

QString BandTextOfCode(int code)
{
    return MasterBandTable().value(code);
}

} // namespace kelvra
