#include "radiofaults.h"

#include <QStringList>

namespace radiosim {

namespace {

struct FaultText {
    Fault fault;
    const char *name;
    int defaultValue;
};

constexpr FaultText kFaults[] = {
    {Fault::Ignore, "ignore", 0},           {Fault::Repeat, "repeat", 0},
    {Fault::WrongLead, "wronglead", 0x00},  {Fault::WrongBlock, "wrongblock", 8},
    {Fault::BadChecksum, "badchecksum", 0}, {Fault::TooShort, "tooshort", 1},
    {Fault::TooLong, "toolong", 1},         {Fault::StrayBytes, "stray", 1},
    {Fault::Delay, "delay", 400},           {Fault::Misstore, "misstore", 0xFF},
    {Fault::Split, "split", 6},
};

// A reply, or its second half, may be held back up to a minute; every other value is a byte.
int MaxValue(Fault fault)
{
    return fault == Fault::Delay || fault == Fault::Split ? 60000 : 255;
}

const FaultText &TextOf(Fault fault)
{
    for (const FaultText &entry : kFaults) {
        if (entry.fault == fault)
            return entry;
    }
    return kFaults[0];
}

int ValueOf(const FaultRule &rule)
{
    return rule.value >= 0 ? rule.value : TextOf(rule.fault).defaultValue;
}

bool IsBlockFrame(const QByteArray &reply)
{
    return reply.size() == kBlockFrameSize;
}

// Content faults first and with the checksum resealed, so that each fault is
// the only thing wrong with the reply; length and stray bytes last.
constexpr Fault kSpoilOrder[] = {Fault::WrongLead, Fault::WrongBlock, Fault::BadChecksum,
                                 Fault::TooShort,  Fault::TooLong,    Fault::StrayBytes};

} // namespace

QString FaultName(Fault fault)
{
    return QString::fromLatin1(TextOf(fault).name);
}

bool FaultRule::Parse(const QString &text, FaultRule *rule, QString *error)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    FaultRule parsed;
    bool known = false;
    for (const FaultText &entry : kFaults) {
        if (parts.at(0) == QLatin1String(entry.name)) {
            parsed.fault = entry.fault;
            known = true;
        }
    }
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("fault \"%1\": %2").arg(text, why);
        return false;
    };
    if (!known || parts.size() > 4)
        return fail(QStringLiteral("expected fault[:request[@block][:times[:value]]]"));
    if (parts.size() > 1) {
        const QStringList request = parts.at(1).split(QLatin1Char('@'));
        if (!ParseRequest(request.at(0), &parsed.request))
            return fail(QStringLiteral("unknown request \"%1\"").arg(request.at(0)));
        if (request.size() > 1) {
            bool ok = false;
            parsed.block = request.at(1).toInt(&ok);
            const bool blockRequest = parsed.request == Request::ReadBlock || parsed.request == Request::WriteBlock;
            if (!ok || !blockRequest || request.size() > 2 || parsed.block < 0 || parsed.block > 255)
                return fail(QStringLiteral("@block takes 0 to 255, after readblock or writeblock"));
        }
    }
    if (parts.size() > 2) {
        bool ok = true;
        parsed.times = parts.at(2) == QLatin1String("always") ? -1 : parts.at(2).toInt(&ok);
        if (!ok || parsed.times == 0)
            return fail(QStringLiteral("times must be a positive number or \"always\""));
    }
    if (parts.size() > 3) {
        bool ok = false;
        parsed.value = parts.at(3).toInt(&ok, 0);
        if (!ok || parsed.value < 0 || parsed.value > MaxValue(parsed.fault))
            return fail(QStringLiteral("value must be 0 to %1").arg(MaxValue(parsed.fault)));
    }
    *rule = parsed;
    return true;
}

QString FaultRule::ToString() const
{
    QString text = FaultName(fault) + QLatin1Char(':') + RequestName(request)
        + (block >= 0 ? QLatin1Char('@') + QString::number(block) : QString()) + QLatin1Char(':')
        + (times < 0 ? QStringLiteral("always") : QString::number(times));
    if (value >= 0)
        text += QLatin1Char(':') + QString::number(value);
    return text;
}

bool FaultPlan::Take(FaultRule &rule, Request request, int block)
{
    if (rule.times == 0 || (rule.request != Request::Any && rule.request != request)
        || (rule.block >= 0 && rule.block != block))
        return false;
    if (rule.times > 0)
        --rule.times;
    return true;
}

FaultPlan::Verdict FaultPlan::Admit(Request request, int block)
{
    for (FaultRule &rule : m_rules) {
        if (rule.fault != Fault::Ignore && rule.fault != Fault::Repeat)
            continue;
        if (Take(rule, request, block))
            return rule.fault == Fault::Ignore ? Verdict::Ignore : Verdict::Repeat;
    }
    return Verdict::Answer;
}

int FaultPlan::DelayMs(Request request, int block)
{
    int ms = 0;
    for (FaultRule &rule : m_rules) {
        if (rule.fault == Fault::Delay && Take(rule, request, block))
            ms += ValueOf(rule);
    }
    return ms;
}

int FaultPlan::StoreMask(Request request, int block)
{
    int mask = 0;
    for (FaultRule &rule : m_rules) {
        if (rule.fault == Fault::Misstore && Take(rule, request, block))
            mask ^= ValueOf(rule);
    }
    return mask;
}

int FaultPlan::SplitMs(Request request, int block, int size)
{
    for (FaultRule &rule : m_rules) {
        if (rule.fault == Fault::Split && size > 1 && Take(rule, request, block))
            return ValueOf(rule);
    }
    return -1;
}

QByteArray FaultPlan::Spoil(Request request, int block, QByteArray reply)
{
    for (Fault fault : kSpoilOrder) {
        for (FaultRule &rule : m_rules) {
            if (rule.fault != fault)
                continue;
            const bool blockOnly = fault == Fault::WrongBlock || fault == Fault::BadChecksum;
            if ((blockOnly && !IsBlockFrame(reply)) || reply.isEmpty() || !Take(rule, request, block))
                continue;
            const int value = ValueOf(rule);
            switch (fault) {
            case Fault::WrongLead:
                reply[0] = char(value);
                if (IsBlockFrame(reply))
                    SealBlockFrame(&reply);
                break;
            case Fault::WrongBlock:
                reply[4] = char(value);
                SealBlockFrame(&reply);
                break;
            case Fault::BadChecksum:
                reply[37] = char(reply.at(37) + 1);
                break;
            case Fault::TooShort:
                reply.chop(value);
                break;
            case Fault::TooLong:
                reply.append(QByteArray(value, '\0'));
                break;
            case Fault::StrayBytes:
                reply.prepend(QByteArray(value, '\x55'));
                break;
            case Fault::Ignore:
            case Fault::Repeat:
            case Fault::Delay:
            case Fault::Misstore:
            case Fault::Split:
                break;
            }
        }
    }
    return reply;
}

} // namespace radiosim
