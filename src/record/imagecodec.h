#pragma once

#include "record/radioimage.h"
#include "record/radioinfo.h"

#include <QString>

namespace kelvra {

// The byte map between the radio's 256-byte block and RadioInfo.
//
//   0-6 kept | 7 BandCode | 8 kept | 9-12 AreaCode | 13 feature bits | 14 Kill, Faint
//   15 kept | 16-31 SerialNumber | 32-47 ProductionDate | 48-55 ManufactureCode
//   56-59 UserCode | 60-63 ProgramPassword | 64-79 MaintenanceDate | 80-95 DealerCode
//   96-111 StockDate | 112-127 SellDate | 128-143 Seller | 144-207 MaintenanceNote
//   208-255 never interpreted
//
// A write changes only the band code, bit 2 of byte 13, the password and the
// four dealer fields; every other byte goes back as the radio sent it.

// The visible text of a stored text: trailing blanks removed, then cut before
// the first NUL. Blanks before a NUL survive.
QString FieldText(const QString &text);
// The text without its trailing blanks; leading blanks stay.
QString TrimTrailingBlanks(const QString &text);

void DecodeRadioInfo(const RadioImage &image, RadioInfo &info);
void EncodeRadioInfo(const RadioInfo &info, RadioImage &image);

// The bits of image byte index that EncodeRadioInfo sets; a write sends
// every other bit back as the radio held it.
quint8 WriteOwnedBits(int index);

// Writes text's bytes at offset, zero-filling the rest of the width. A
// character that does not fit whole is left out.
void PutImageText(RadioImage &image, int offset, const QString &text, int width);

} // namespace kelvra
