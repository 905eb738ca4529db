#include "record/radioinfo.h"

namespace kelvra {

namespace {
const QChar Nul(u'\0');
}

void InitRadioInfo(RadioInfo &info, const QDate &today, const QLocale &locale)
{
    info.FiveTone = info.TwoTone = info.Dtmf = 1;
    info.Scramble = info.Kill = info.Faint = info.FactoryMode = info.FreqSet = 0;
    info.BandCode = 0;

    info.ProgramPassword = QString(Nul);
    info.SerialNumber = today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("00000001");
    info.ProductionDate = locale.toString(today, QLocale::ShortFormat) + Nul;
    // Nine characters into a field of eight: the NUL falls away.
    info.ManufactureCode = today.toString(QStringLiteral("MM")) + QStringLiteral("-1-E-1") + Nul;
    info.UserCode = QStringLiteral("001A");

    info.MaintenanceDate = QString(Nul);
    info.DealerCode = QString(Nul);
    info.StockDate = QString(Nul);
    info.SellDate = QString(Nul);
    info.Seller = QString(Nul);
    info.MaintenanceNote = QString(Nul);

    info.Version = QStringLiteral("V1.00");
    info.AreaCode = QStringLiteral("0595");
    info.Model = QStringLiteral("KR350UV");
}

} // namespace kelvra
