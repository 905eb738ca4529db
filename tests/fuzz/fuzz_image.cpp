// Any 256 bytes decode to a record that keeps its invariants, and encoding it
// back changes only the bytes a write owns.
#include "record/imagecodec.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace kelvra;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool ownedByWrite(int i)
{
    return i == 7 || i == 13 || (i >= 60 && i < 64) || (i >= 80 && i < 144);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RadioImage image;
    if (size > 0)
        std::memcpy(image.data(), data, size < 256 ? size : 256);

    RadioInfo info;
    DecodeRadioInfo(image, info);
    for (qint16 flag : {info.FiveTone, info.TwoTone, info.Dtmf, info.Scramble, info.Kill, info.Faint,
                        info.FactoryMode, info.FreqSet})
        require(flag == 0 || flag == 1);
    require(info.BandCode >= 0 && info.BandCode <= 255);
    require(info.AreaCode.size() <= 4);
    require(info.SerialNumber.text().size() == 16 && info.MaintenanceNote.text().size() == 64);

    const RadioImage before = image;
    EncodeRadioInfo(info, image);
    for (int i = 0; i < RadioImage::Size; ++i)
        require(ownedByWrite(i) || image[i] == before[i]);

    // What went out decodes to what was meant, for the fields a write owns.
    RadioInfo again;
    DecodeRadioInfo(image, again);
    require(again.BandCode == info.BandCode && again.FreqSet == info.FreqSet);
    EncodeRadioInfo(again, image);
    RadioImage twice = image;
    EncodeRadioInfo(again, twice);
    require(twice == image);
    return 0;
}
