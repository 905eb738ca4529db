#pragma once

#include "history/fieldview.h"
#include "history/historyentry.h"
#include "history/historyproblem.h"
#include "link/writegate.h"

#include <QObject>
#include <QString>

#include <optional>

namespace kelvra {

class HistoryStore;
class PortDirectory;
class RadioLink;

// The blocks of bytes that are known.
KnownImage KnownBlocks(const RadioImage &bytes, ImageBlocks blocks);

// The history of one radio link: one entry for every operation the link
// reports, and, as the link's write gate, the radio's bytes stored for good
// before a write's first block goes out. The window and the command line
// each wire one.
class HistoryRecorder : public QObject, public WriteGate
{
    Q_OBJECT
public:
    // Becomes link's write gate and records each operation it reports, the
    // store opening at its first use. directory, when given, names the
    // adapter behind a port. Construct it before connecting other handlers to
    // RadioLink::Finished, so that LastEntryUuid is current in them.
    HistoryRecorder(HistoryStore &store, RadioLink &link, const PortDirectory *directory = nullptr,
                    QObject *parent = nullptr);
    ~HistoryRecorder() override;

    // An entry's values are in the form: the next write goes to that entry's
    // radio only, and its own entry names the source. Kept until a write of
    // these values or a read completes; nullopt forgets them at once.
    void SetRestoreSource(const std::optional<RestoreValues> &values) { m_restore = values; }
    const std::optional<RestoreValues> &RestoreSource() const { return m_restore; }

    // The name the bench's entries carry; empty: the host's.
    void SetBenchName(const QString &name) { m_benchName = name; }

    // A command reads the radio before it writes, to learn its model and
    // serial number. That read is held back from the history (the write's
    // entry holds every byte the write reads again), and the write that
    // follows goes to the radio it found only; a write that learns nothing
    // of the radio itself (refused for its model) is entered with what the
    // read found. RecordHeldRead stores the read when no write follows, with
    // the reason why none did.
    void HoldNextRead() { m_holdNext = true; }
    void RecordHeldRead(const QString &reason = QString());

    // The entry of the operation that ended last (a write's from its backup
    // on); empty when none could be stored.
    const QString &LastEntryUuid() const { return m_lastUuid; }

    Answer MayWrite(const RadioImage &radio, ImageBlocks read) override;

signals:
    // An operation's entry is stored with its outcome, before its closing box.
    void Recorded(const kelvra::HistoryEntry &entry);
    // An operation's entry or outcome could not be stored. A backup refused
    // before a write is not among them: the write's own failure says so.
    void NotRecorded(const kelvra::HistoryProblem &problem);

private:
    void Record(const OperationResult &result);
    // held: the command's read before this write, when there was one.
    void Store(const OperationResult &result, const std::optional<OperationResult> &held = std::nullopt,
               const QString &reason = QString());
    // The serial number the write under way must find; nullopt: any.
    std::optional<QString> ExpectedSerial() const;
    void Describe(HistoryEntry &entry, int portNo, const QString &devicePath) const;

    HistoryStore &m_store;
    RadioLink &m_link;
    const PortDirectory *m_directory;
    std::optional<RestoreValues> m_restore;
    bool m_holdNext = false;
    std::optional<OperationResult> m_held; // a command's read before its write
    std::optional<HistoryEntry> m_begun; // a write whose backup is stored and outcome awaited
    QString m_adapterSerial;             // of the port the operation under way opened
    QString m_lastUuid;
    QString m_benchName;
};

} // namespace kelvra
