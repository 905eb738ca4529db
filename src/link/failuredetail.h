#pragma once

#include "link/operationresult.h"

#include <QString>

namespace kelvra {

// The detailed text under "Read Failure!" and "Write Failure!": what went
// wrong in words a dealer can act on, and what a half-finished write left
// inside the radio.
namespace failuredetail {

// Why a request was given up, by what the radio sent back to it: NoAnswer,
// RepeatAsked, WrongBlock (otherBlock: the block it named) or BadReply.
// request: what was given up, from one of the functions below.
QString GivenUp(OperationResult::Failure why, const QString &request, int otherBlock, int portNo,
                const QString &devicePath);
QString ProgramRequest();
QString IdentifyRequest();
QString ReadBlock(int block);
QString WriteBlock(int block);
QString ReadBack(int block);
QString WriteAgain(int block);

QString PortLost();
QString PortRefused();

// A read-back that showed other bytes than were written where the write
// sends the radio's own bytes back: another radio, or one that changed them.
QString OtherSerialNumber(int block, const QString &written, const QString &shown);
// first, last: image addresses of the first and last such byte.
QString OtherBytes(int block, int first, int last);

// Why a write that has sent blocks ended: it was stopped (no answer, the
// port), a block kept reading back differently, or a read-back showed other
// bytes where the write sends the radio's own back.
enum class WriteEnd { Stopped, Differed, OtherBytes };

// What a write that has sent blocks leaves in the radio, field by field as
// far as the radio confirmed it, and what to do.
QString HalfWritten(const WriteFates &fates, WriteEnd end);
// What closing during a write would leave in the radio. sending: write
// blocks have gone out.
QString LeaveDuringWrite(const WriteFates &fates, bool sending);
// The question asked after it, once however many radios it names.
QString CloseAnyway();

} // namespace failuredetail
} // namespace kelvra
