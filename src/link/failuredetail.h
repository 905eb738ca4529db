#pragma once

#include <QString>

namespace kelvra {

// The detailed text under "Read Failure!" and "Write Failure!": what went
// wrong in words a dealer can act on, and what a half-finished write left
// inside the radio.
namespace failuredetail {

// request: what went unanswered, from one of the functions below.
QString Unanswered(const QString &request, int portNo, const QString &devicePath);
QString ProgramRequest();
QString IdentifyRequest();
QString ReadBlock(int block);
QString WriteBlock(int block);

QString PortLost();
QString PortRefused();

// A write that failed once blocks 0 to acknowledged - 1 were acknowledged:
// which of the fields a write sends the radio took, and which not. Empty
// when no write block went out.
QString HalfWritten(int acknowledged);

} // namespace failuredetail
} // namespace kelvra
