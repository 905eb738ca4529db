#pragma once

#include "radioframes.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Misbehaviour on demand: a list of rules, each naming a fault, the requests
// it hits and how many times, so a test states a broken radio in one line.
namespace radiosim {

enum class Fault {
    Ignore,      // no reply and no effect, as if the request was never heard
    Repeat,      // answer 0A (send again) instead of acting
    WrongLead,   // first reply byte becomes value (default 00)
    WrongBlock,  // block reply names block value (default 8), checksum still right
    BadChecksum, // block reply with its checksum off by one
    TooShort,    // last value bytes (default 1) missing
    TooLong,     // value bytes (default 1) of 00 appended
    StrayBytes,  // value bytes (default 1) of 55 sent before the reply
};

QString FaultName(Fault fault);

struct FaultRule {
    Fault fault = Fault::Ignore;
    Request request = Request::Any;
    int times = 1;   // how many matching requests it hits; negative: every one
    int value = -1;  // the fault's parameter; negative: the fault's default

    // "fault[:request[:times[:value]]]", times may be "always", e.g.
    // "ignore:identify:2", "repeat:readblock", "wrongblock:any:1:9".
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

    // Decides whether a well-formed request is acted on. Uses up one hit of
    // the Ignore or Repeat rule that decides.
    Verdict Admit(Request request);
    // The reply as the rules spoil it; uses up one hit of every rule applied.
    // Rules that cannot apply (a checksum fault on a one-byte reply) are kept.
    QByteArray Spoil(Request request, QByteArray reply);

private:
    bool Take(FaultRule &rule, Request request);

    QList<FaultRule> m_rules;
};

} // namespace radiosim
