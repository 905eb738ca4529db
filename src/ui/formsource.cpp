#include "ui/formsource.h"

#include "history/fieldview.h"
#include "history/knownimage.h"
#include "link/radiolink.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "record/radioinfo.h"
#include "services/historyrecorder.h"
#include "ui/frmmain.h"
#include "ui/historydiff.h"

namespace kelvra {

FormSource::FormSource(FrmMain &window, RadioLink &link, HistoryRecorder *history, QObject *parent)
    : QObject(parent), m_window(window), m_link(link), m_history(history)
{
    m_link.SetWriteGate(this);
    connect(&m_link, &RadioLink::Finished, this, &FormSource::Finished);
}

FormSource::~FormSource()
{
    m_link.SetWriteGate(m_history);
}

void FormSource::Finished(const OperationResult &result)
{
    // Abandoned, a read leaves the form as it was.
    if (result.kind == Operation::Read && result.failure == OperationResult::Failure::Abandoned)
        return;
    if (result.success) {
        // A read shows the radio's values; a write leaves them in the radio.
        m_serialNumber = SerialNumberOf(KnownImage(result.radioBytes));
        m_known = true;
    } else if (result.kind == Operation::Read) {
        m_known = false;
    }
}

WriteGate::Answer FormSource::MayWrite(const RadioImage &radio, ImageBlocks read)
{
    // Values put back from the history are their radio's: its gate sends them there alone.
    const bool ours = (m_known && m_serialNumber == SerialNumberOf(KnownImage(radio)))
        || (m_history && m_history->RestoreSource().has_value());
    const QString question = ours ? QString() : Question(radio, read);
    if (!question.isEmpty() && !m_window.Ask(question))
        return {OperationResult::Failure::WrongRadio,
                tr("The values in the form were not read from this radio, and you chose not to write them. "
                   "Nothing was written: the radio was not changed. Read the radio first to change only what "
                   "you mean to.")};
    return m_history ? m_history->MayWrite(radio, read) : Answer();
}

QString FormSource::Question(const RadioImage &radio, ImageBlocks read) const
{
    RadioInfo held;
    DecodeRadioInfo(radio, held);
    RadioImage meant = radio;
    EncodeRadioInfo(m_window.WithFormValues(held), meant);
    const KnownImage before = KnownBlocks(radio, read);
    const KnownImage after = KnownBlocks(meant, read);
    const QStringList changed = ChangedFieldIds(before, after);
    if (changed.isEmpty())
        return QString();

    const auto values = FieldValues(before);
    const auto meantValues = FieldValues(after);
    const auto &fields = ImageFields();
    QStringList lines;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!changed.contains(QLatin1String(fields[i].id)))
            continue;
        const auto shown = [&](const std::optional<QString> &value) {
            const QString text = FieldValueText(fields[i], value);
            return text.isEmpty() ? tr("(empty)") : text;
        };
        lines << tr("%1: %2 → %3").arg(FieldCaption(fields[i], m_window.LanguageId()), shown(values[i]),
                                         shown(meantValues[i]));
    }
    return tr("The values in the form were not read from the radio on the cable: %1, serial number %2. "
              "Writing them would change:")
               .arg(DisplayModel(m_link.RadioModel()), SerialNumberOf(KnownImage(radio)))
        + QLatin1String("\n\n") + lines.join(QLatin1Char('\n')) + QLatin1String("\n\n")
        + tr("Write these values to this radio?");
}

} // namespace kelvra
