#pragma once

#include "link/sequencestate.h"
#include "record/radioimage.h"

#include <QMetaType>
#include <QString>

#include <algorithm>
#include <array>
#include <bitset>

namespace kelvra {

// What became of one block a write sends, as far as the radio let the link know.
enum class BlockFate {
    Unconfirmed,  // not acknowledged: not sent, or sent without an answer (it may still have arrived)
    Acknowledged, // acknowledged, not (yet) read back: replies carry no sequence number, so not proof
    Verified,     // read back and found to hold exactly what was written
    Differs,      // read back last with other bytes than were written
};
using WriteFates = std::array<BlockFate, 5>;
// A set of the image's eight blocks.
using ImageBlocks = std::bitset<RadioImage::BlockCount>;

// How one read or write ended, for the history and the command line:
// RadioLink::Finished carries one per press that started an operation.
struct OperationResult
{
    enum class Failure {
        None,
        PortNotOpened,   // detail: why
        NoAnswer,        // a request went unanswered three times
        RepeatAsked,     // the radio only ever answered "send again" (0A)
        WrongBlock,      // the radio answered with another block than was asked
        BadReply,        // replies came that did not check out (length, lead bytes, checksum)
        ModelMismatch,   // after "Model Error"
        PortLost,        // the cable was pulled or the adapter removed
        PortRefused,     // the serial port did not take the bytes
        ReadBackDiffers, // a written block still read back differently after being written again, or
                         // with bytes changed that the write sends back as the radio held them
        Abandoned,       // a read ended by a new press, or any operation by closing the window; no box
        // Refused by the write's gate, before any write block went out:
        BackupFailed, // the radio's bytes could not be kept first
        WrongRadio,   // the values are meant for another radio
    };

    Operation kind = Operation::None;
    bool success = false;
    Failure failure = Failure::None;
    // For a write: each block it sends, in block order; all Unconfirmed for a read.
    WriteFates blocks{};
    QString message; // the box shown; empty when none was (Abandoned)
    QString detail;  // the box's detailed text
    int portNo = 0;  // the port the operation ran on, whatever is selected since
    QString devicePath;
    QString radioModel; // as the radio identified itself; empty when it did not
    // What the radio holds as far as the operation learned it: a block is
    // known once read (a read's blocks, a write's re-reads and read-backs),
    // unknown from the moment a write block for it goes out until it is read
    // back. radioBytes is meaningful in the known blocks only.
    RadioImage radioBytes;
    ImageBlocks knownBlocks;

    // Write blocks the radio acknowledged, read back or not: 0 means it confirmed no change.
    int Acknowledged() const
    {
        return int(std::count_if(blocks.begin(), blocks.end(), [](BlockFate f) { return f != BlockFate::Unconfirmed; }));
    }
    // Every block a write sends was read back and held what was written.
    bool Verified() const
    {
        return std::all_of(blocks.begin(), blocks.end(), [](BlockFate f) { return f == BlockFate::Verified; });
    }
};

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::OperationResult)
