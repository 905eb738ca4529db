#pragma once

#include <QByteArray>
#include <QString>

namespace radiosim {

// Whom an existing COM alias belongs to, so that a radio never takes over an
// alias that still leads somewhere: another radio's pseudo-terminal, or a
// cable someone pinned to that number.
struct AliasOwner {
    enum class Kind {
        Ended,    // a pseudo-terminal that has gone: a radio ended without removing its alias
        Terminal, // a live pseudo-terminal, held by the program pid names (0: not visible to us)
        Other,    // anything else a link may name, present or not
    };
    Kind kind = Kind::Other;
    QByteArray target; // the link's own text
    qint64 pid = 0;
    QString program; // the holder's executable name
};

// aliasPath must be a symbolic link.
AliasOwner OwnerOfAlias(const QByteArray &aliasPath);

// Why the alias named com may not be taken over, in a sentence that tells
// what to do instead.
QString RefusalText(const AliasOwner &owner, const QString &aliasPath, int com);

} // namespace radiosim
