#pragma once

namespace kelvra {

// The operating system's version as the port list's choice of mode needs it.
// The product asks the host; tests hand in any answer.
struct OsVersion
{
    int platformId = 0; // 2 is the Windows NT family
    int major = 0;
    int minor = 0;
};

class VersionQuery
{
public:
    virtual ~VersionQuery() = default;
    // False when the system could not be identified.
    virtual bool Query(OsVersion *answer) const = 0;
};

// The running system: never an NT family member here, so its answer never
// selects the fixed port list.
class HostVersionQuery : public VersionQuery
{
public:
    bool Query(OsVersion *answer) const override;
};

// Windows NT 6.0 lacks a usable device map, so only it gets the fixed list COM1 to COM256.
bool UsesFixedPortList(const OsVersion &version);

} // namespace kelvra
