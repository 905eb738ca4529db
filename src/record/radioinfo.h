#pragma once

#include "record/fixedtext.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace kelvra {

// Everything the tool knows about the connected radio's information block.
// Flags are 16-bit integers holding 0 or 1 because the codec uses them
// arithmetically and the window's check boxes deliver 0 or 1.
struct RadioInfo
{
    qint16 FiveTone = 0;
    qint16 TwoTone = 0;
    qint16 Dtmf = 0;
    qint16 Scramble = 0;
    qint16 Kill = 0;
    qint16 Faint = 0;
    qint16 FactoryMode = 0;
    qint16 FreqSet = 0;
    qint16 BandCode = 0; // index into MasterBandTable; a radio may report any byte
    FixedText<4> ProgramPassword;
    FixedText<16> SerialNumber;
    FixedText<16> ProductionDate;
    FixedText<8> ManufactureCode;
    FixedText<4> UserCode;
    FixedText<16> MaintenanceDate;
    FixedText<16> DealerCode;
    FixedText<16> StockDate;
    FixedText<16> SellDate;
    FixedText<16> Seller;
    FixedText<64> MaintenanceNote;
    QString Version;
    QString Model;
    QString AreaCode;
};

// The defaults of a fresh record; dates come from today in the host's short
// date format. Tests pass a fixed day and locale.
void InitRadioInfo(RadioInfo &info, const QDate &today = QDate::currentDate(),
                   const QLocale &locale = QLocale::system());

} // namespace kelvra
