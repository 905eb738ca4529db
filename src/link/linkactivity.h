#pragma once

#include <QMetaType>

namespace kelvra {

// One copy of a frame going out to the radio, for whoever shows progress:
// RadioLink::Activity carries one at every send and every resend.
struct LinkActivity
{
    enum class Kind { Program, Identify, ReadBlock, WriteBlock, CheckBlock, End };

    Kind kind = Kind::Program;
    int block = -1;   // the image block (0-7) a block request names, else -1
    int ordinal = 0;  // 1-based place of this block among its phase's blocks
    int count = 0;    // blocks in the phase: 8 for a read, the re-reads, 5 writes, 5 read-back checks
    int resends = 0;  // copies of this frame sent again so far
};

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::LinkActivity)
