#pragma once

#include <QByteArray>

namespace radiosim {

// A plausible 256-byte image of a dual-band radio sold through a dealer, with
// the dealer code in GBK, so a person can try the tool with no radio at hand.
QByteArray DemoImage();

} // namespace radiosim
