#pragma once

#include <QtGlobal>

namespace kelvra {

// Which operation a press started, and how far its dialogue with the radio
// has come. Shared by the frames (whose senders open and close a dialogue)
// and the read/write sequence that drives them.

enum class Operation : qint16 { None = 0, Read = 1, Write = 2 };

// Each label names the request outstanding while it is current. The numbers
// are the labels the radio's service people know; 31, 41 and 61 slot in between.
enum class Step : qint16 {
    Idle = 0,
    Program = 1,   // "PROGRAM" sent, acknowledgement awaited
    Identify = 2,  // identification awaited
    Block0 = 3,    // a read's blocks 0, 1 and 2
    Block1 = 31,
    Block2 = 4,
    Reread = 41,   // a write's re-read of a block it sends back
    Blocks = 5,    // a read's blocks 3-7, or a write's blocks 0-4
    Check = 6,     // a write's read-back of a block it wrote
    Rewrite = 61,  // a block written again after its read-back differed
    End = 69,      // "END" sent
};

} // namespace kelvra
