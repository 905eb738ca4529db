#pragma once

#include "link/operationresult.h"

#include <QString>

namespace kelvra {

// The last moment a write can still be held back: the radio's bytes are in
// and no write block has gone out. Whoever drives the link may answer; the
// link knows nothing of why it would say no.
class WriteGate
{
public:
    struct Answer
    {
        // None: the write goes on. Else nothing is written: "END" lets the
        // radio out of programming mode, and the write ends in "Write Failure!".
        OperationResult::Failure refusal = OperationResult::Failure::None;
        QString detail; // why not, in words for the operator, shown under "Write Failure!"; may be empty
    };

    virtual ~WriteGate() = default;

    // Asked once per write, before the band question and the encode. radio
    // holds what the radio holds in the blocks read, which this write has
    // just read from it; its other blocks are stale.
    virtual Answer MayWrite(const RadioImage &radio, ImageBlocks read) = 0;
};

} // namespace kelvra
