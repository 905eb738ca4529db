#pragma once

#include "radioframes.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Misbehaviour on demand: a list of rules, each naming a fault, the requests
// it hits and how many times, so a test states a broken radio in one line.
namespace radiosim {

enum class Fault {
    Ignore,      // lost on the line: not stored, not answered, as if never heard
    Repeat,      // answer 0A (send again) instead of acting
    WrongLead,   // first reply byte becomes value (default 00)
    WrongBlock,  // block reply names block value (default 8), checksum still right
    BadChecksum, // block reply with its checksum off by one
    TooShort,    // last value bytes (default 1) missing
    TooLong,     // value bytes (default 1) of 00 appended
    StrayBytes,  // value bytes (default 1) of 55 sent before the reply
    Delay,       // the reply comes value ms (default 400) late; rules add up
    Misstore,    // a write block is acknowledged, but its first data byte is stored XOR value (default FF)
    Split,       // the reply's first half goes out, the rest value ms (default 6) later
};

QString FaultName(Fault fault);

struct FaultRule {
    Fault fault = Fault::Ignore;
    Request request = Request::Any;
    int times = 1;   // how many matching requests it hits; negative: every one
    int value = -1;  // the fault's parameter; negative: the fault's default
    int block = -1;  // only block requests for this block; negative: any

    // "fault[:request[@block][:times[:value]]]", times may be "always", e.g.
    // "ignore:identify:2", "repeat:readblock", "wrongblock:readblock@0:1:1",
    // "delay:writeblock@1:1:450".
    static bool Parse(const QString &text, FaultRule *rule, QString *error);
    QString ToString() const;
};

class FaultPlan
{
public:
    enum class Verdict { Answer, Ignore, Repeat };

    FaultPlan() = default;
    explicit FaultPlan(const QList<FaultRule> &rules) : m_rules(rules) {}

    void Add(const FaultRule &rule) { m_rules.append(rule); }
    QList<FaultRule> Rules() const { return m_rules; }

    // block: the block a block request names; negative for other requests.
    // Decides whether a well-formed request is acted on. Uses up one hit of
    // the Ignore or Repeat rule that decides.
    Verdict Admit(Request request, int block);
    // The reply as the rules spoil it; uses up one hit of every rule applied.
    // Rules that cannot apply (a checksum fault on a one-byte reply) are kept.
    QByteArray Spoil(Request request, int block, QByteArray reply);
    // Milliseconds the reply is held back; uses up one hit of every Delay rule applied.
    int DelayMs(Request request, int block);
    // What a write block's first data byte is XORed with as it is stored, 0
    // for none; uses up one hit of every Misstore rule applied.
    int StoreMask(Request request, int block);
    // Milliseconds between the two halves of a reply of size bytes, -1 for
    // none; uses up one hit of the first Split rule applied. A one-byte reply
    // has no halves: the rule is kept.
    int SplitMs(Request request, int block, int size);

private:
    bool Take(FaultRule &rule, Request request, int block);

    QList<FaultRule> m_rules;
};

} // namespace radiosim
