#pragma once

#include <QByteArray>

namespace radiosim {

// A plausible 256-byte image of a dual-band radio sold through a dealer, with
// the dealer code in GBK, so a person can try the tool with no radio at hand.
QByteArray DemoImage();

// The same image with the serial number (bytes 16-31) counted on by one, as
// the next radio off a production line: its trailing digits are incremented,
// a serial without digits gets a 1 at its end.
QByteArray NextUnitImage(const QByteArray &image);

} // namespace radiosim
