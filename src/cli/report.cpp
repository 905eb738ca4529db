#include "cli/report.h"

#include "cli/terminal.h"
#include "history/entrynames.h"
#include "history/fieldview.h"
#include "history/historycsv.h"
#include "history/historyfile.h"
#include "lang/captions.h"
#include "record/radioinfo.h"
#include "services/clitext.h"
#include "services/commandport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace kelvra {

namespace {

QJsonValue OrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject RadioJson(const CommandOutcome &outcome)
{
    QJsonObject radio = Nested(RadioValues(outcome.image, false));
    radio.insert(QStringLiteral("model"), OrNull(outcome.model));
    RadioInfo info;
    InitRadioInfo(info);
    radio.insert(QStringLiteral("version"), info.Version);
    return radio;
}

QJsonArray ImageJson(const KnownImage &image)
{
    QJsonArray bytes;
    for (int i = 0; i < RadioImage::Size; ++i) {
        bytes.append(image.Known(i) ? QJsonValue(QStringLiteral("%1").arg(image.Byte(i), 2, 16, QLatin1Char('0')))
                                    : QJsonValue());
    }
    return bytes;
}

} // namespace

namespace {

QString DeviceOf(const CommandOutcome &outcome)
{
    return outcome.result.devicePath;
}

} // namespace

QJsonObject OutcomeJson(const CommandOutcome &outcome, const CommandPort &port)
{
    const bool write = outcome.operation == Operation::Write;
    QJsonObject json;
    json.insert(QStringLiteral("operation"), write ? QStringLiteral("write") : QStringLiteral("read"));
    json.insert(QStringLiteral("result"), outcome.Complete() ? QStringLiteral("complete") : QStringLiteral("failure"));
    json.insert(QStringLiteral("port"), OrNull(port.Name()));
    json.insert(QStringLiteral("device"), OrNull(DeviceOf(outcome)));
    json.insert(QStringLiteral("message"), OrNull(OutcomeMessage(outcome)));
    json.insert(QStringLiteral("detail"), OrNull(outcome.detail));
    json.insert(QStringLiteral("historyId"), OrNull(outcome.historyId));
    json.insert(QStringLiteral("radio"), RadioJson(outcome));
    json.insert(QStringLiteral("image"), ImageJson(outcome.image));
    if (write) {
        json.insert(QStringLiteral("changed"), QJsonArray::fromStringList(outcome.changed));
        json.insert(QStringLiteral("verified"), outcome.Verified());
    }
    return json;
}

QByteArray JsonLine(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString OutcomeText(const CommandOutcome &outcome, const CommandPort &port, qint16 languageId)
{
    QStringList lines{OutcomeMessage(outcome)};
    if (!outcome.detail.isEmpty())
        lines << outcome.detail;
    const QString where = DeviceOf(outcome).isEmpty() || port.Name().isEmpty()
        ? port.Name() + DeviceOf(outcome)
        : QStringLiteral("%1 (%2)").arg(port.Name(), DeviceOf(outcome));
    // Values come from the radio: a seller holding ESC]0;... must not retitle the terminal.
    const auto line = [&lines](const QString &caption, const QString &value) {
        lines << QStringLiteral("  %1  %2").arg(caption + QLatin1Char(':'), -24).arg(Printable(value));
    };
    line(Cli::tr("Port"), where);
    if (!outcome.Complete())
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    line(CaptionText(*FindCaption("Label1_0"), languageId), outcome.model);
    {
        const auto values = FieldValues(outcome.image);
        for (std::size_t i = 0; i < ImageFields().size(); ++i) {
            const ImageField &field = ImageFields()[i];
            QString value = values[i].value_or(UnknownValueText());
            if (values[i] && field.bit >= 0)
                value = *values[i] == QLatin1String("1") ? Cli::tr("on") : Cli::tr("off");
            line(FieldCaption(field, languageId), value);
        }
        RadioInfo fresh;
        InitRadioInfo(fresh);
        line(CaptionText(*FindCaption("Label1_6"), languageId), fresh.Version);
    }
    if (outcome.operation == Operation::Write) {
        QStringList captions;
        for (const QString &name : outcome.changed)
            captions << ItemCaption(name, languageId);
        line(Cli::tr("Changed"), captions.isEmpty() ? Cli::tr("nothing") : captions.join(QStringLiteral(", ")));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString InterruptedText(const CommandOutcome &outcome)
{
    if (outcome.operation == Operation::Read)
        return Cli::tr("Interrupted: the read was ended, the port closed; the radio was not changed.");
    if (!outcome.writeBegun)
        return Cli::tr("Interrupted before any block was written: the radio was not changed.");
    if (outcome.Verified())
        return Cli::tr("Interrupted while writing: the write was let finish, and the radio holds what was written, "
                  "verified.");
    return Cli::tr("Interrupted while writing: the radio may be half-written; the detail above says what it took.");
}

QString HistoryWarning(const CommandOutcome &outcome)
{
    QString warning;
    if (!outcome.historySetAside.isEmpty())
        warning += SetAsideNotice(outcome.historySetAside) + QLatin1Char('\n');
    if (!outcome.historyProblem.isEmpty())
        warning += Cli::tr("Warning: the history could not record this operation: %1\n").arg(outcome.historyProblem);
    return warning;
}

} // namespace kelvra
