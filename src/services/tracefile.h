#pragma once

#include <QString>

#include <functional>

namespace kelvra {

// Sends the support trace to path from now on, appended after a first line
// naming the system and Qt. Only a regular file (created 0600: the trace holds
// the programming password), a terminal or a pipe with a reader takes it, and
// none of them can make a write block. False, with the reason, otherwise.
bool StartTraceFile(const QString &path, QString *error);

// A write to the trace failed (the pipe's reader went, the disk is full):
// tracing stops, the reason goes to standard error, and notice, when set, is
// called once with it. The program goes on without the trace.
void OnTraceStopped(std::function<void(const QString &why)> notice);

// A reader gone from a pipe, the trace's or standard error's, fails the write
// instead of killing the program, perhaps half-way through writing a radio.
void IgnoreBrokenPipes();

} // namespace kelvra
