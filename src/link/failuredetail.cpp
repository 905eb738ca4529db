#include "link/failuredetail.h"

#include <QCoreApplication>
#include <QStringList>

#include <iterator>

namespace kelvra::failuredetail {

namespace {

// For texts marked with QT_TRANSLATE_NOOP in this file's context.
QString Translated(const char *text)
{
    return QCoreApplication::translate("FailureDetail", text);
}

// What each of the five write blocks carries of what the window sends.
constexpr const char *WrittenFields[][2] = {
    {QT_TRANSLATE_NOOP("FailureDetail", "band"), nullptr},
    {QT_TRANSLATE_NOOP("FailureDetail", "password"), nullptr},
    {QT_TRANSLATE_NOOP("FailureDetail", "dealer code"), nullptr},
    {QT_TRANSLATE_NOOP("FailureDetail", "stock date"), QT_TRANSLATE_NOOP("FailureDetail", "sell date")},
    {QT_TRANSLATE_NOOP("FailureDetail", "seller"), nullptr},
};
static_assert(std::size(WrittenFields) == std::tuple_size_v<WriteFates>);

// The fields of the blocks that met fate, as one list; empty when none did.
QString Fields(const WriteFates &fates, BlockFate fate, int onlyBlock = -1)
{
    QStringList names;
    for (int block = 0; block < int(fates.size()); ++block) {
        if (fates[block] != fate || (onlyBlock >= 0 && block != onlyBlock))
            continue;
        for (const char *field : WrittenFields[block]) {
            if (field)
                names.append(Translated(field));
        }
    }
    if (names.size() <= 1)
        return names.value(0);
    const QString last = names.takeLast();
    const QString separator = QCoreApplication::translate("FailureDetail", ", ");
    return QCoreApplication::translate("FailureDetail", "%1 and %2").arg(names.join(separator), last);
}

QString Port(int portNo, const QString &devicePath)
{
    return devicePath.isEmpty()
        ? QCoreApplication::translate("FailureDetail", "COM%1").arg(portNo)
        : QCoreApplication::translate("FailureDetail", "COM%1 (%2)").arg(QString::number(portNo), devicePath);
}

// Sentences without agreement in number, so that one text serves one field or several.
QString Summary(const WriteFates &fates)
{
    QStringList sentences;
    const QString verified = Fields(fates, BlockFate::Verified);
    if (!verified.isEmpty())
        sentences << QCoreApplication::translate("FailureDetail", "Reading back showed the new %1 in the radio.")
                         .arg(verified);
    for (int block = 0; block < int(fates.size()); ++block) {
        if (fates[block] == BlockFate::Differs)
            sentences << QCoreApplication::translate("FailureDetail", "Block %1, which holds the %2, read back "
                                                                      "differently from what was written.")
                             .arg(QString::number(block), Fields(fates, BlockFate::Differs, block));
    }
    const QString acknowledged = Fields(fates, BlockFate::Acknowledged);
    if (!acknowledged.isEmpty())
        sentences << QCoreApplication::translate("FailureDetail",
                                                 "The radio acknowledged the new %1 (not read back to check).")
                         .arg(acknowledged);
    const QString unconfirmed = Fields(fates, BlockFate::Unconfirmed);
    if (sentences.isEmpty())
        sentences << QCoreApplication::translate("FailureDetail",
                                                 "The radio confirmed none of the new values; some may have reached it.");
    else if (!unconfirmed.isEmpty())
        sentences << QCoreApplication::translate("FailureDetail", "The radio did not confirm the new %1.").arg(unconfirmed);
    return sentences.join(QLatin1Char(' '));
}

} // namespace

QString GivenUp(OperationResult::Failure why, const QString &request, int otherBlock, int portNo,
                const QString &devicePath)
{
    const QString port = Port(portNo, devicePath);
    switch (why) {
    case OperationResult::Failure::RepeatAsked:
        return QCoreApplication::translate("FailureDetail",
                                           "The radio answered %1 on %2 only by asking for it again: it hears the "
                                           "cable, but not clearly. Check that the cable is seated firmly at both ends.")
            .arg(request, port);
    case OperationResult::Failure::WrongBlock:
        return QCoreApplication::translate("FailureDetail", "The radio answered %1 on %2 with block %3. Switch the "
                                                            "radio off and on, then try again.")
            .arg(request, port, QString::number(otherBlock));
    case OperationResult::Failure::BadReply:
        return QCoreApplication::translate("FailureDetail",
                                           "The radio's answers to %1 on %2 did not check out (length, lead bytes or "
                                           "checksum). Check that the cable is seated firmly at both ends, and that "
                                           "COM%3 is the port the cable is on.")
            .arg(request, port, QString::number(portNo));
    default:
        return QCoreApplication::translate("FailureDetail",
                                           "The radio did not answer %1 on %2. Check that the radio is switched on "
                                           "and within reach of the cable, that the cable is seated firmly at both "
                                           "ends, and that COM%3 is the port the cable is on.")
            .arg(request, port, QString::number(portNo));
    }
}

QString ProgramRequest()
{
    return QCoreApplication::translate("FailureDetail", "the request to enter programming mode (PROGRAM)");
}

QString IdentifyRequest()
{
    return QCoreApplication::translate("FailureDetail", "the identification request");
}

QString ReadBlock(int block)
{
    return QCoreApplication::translate("FailureDetail", "the read of block %1").arg(block);
}

QString WriteBlock(int block)
{
    return QCoreApplication::translate("FailureDetail", "the write of block %1").arg(block);
}

QString ReadBack(int block)
{
    return QCoreApplication::translate("FailureDetail", "the read-back of block %1").arg(block);
}

QString WriteAgain(int block)
{
    return QCoreApplication::translate("FailureDetail", "the second write of block %1").arg(block);
}

QString PortLost()
{
    return QCoreApplication::translate("FailureDetail",
                                       "The serial port was lost: the cable was pulled or the adapter removed.");
}

QString PortRefused()
{
    return QCoreApplication::translate("FailureDetail", "The serial port did not accept the data.");
}

QString OtherSerialNumber(int block, const QString &written, const QString &shown)
{
    return QCoreApplication::translate("FailureDetail", "The read-back of block %1 shows serial number %2, but the "
                                                        "radio this write read before writing was %3: another radio "
                                                        "is on the cable.")
        .arg(QString::number(block), shown, written);
}

QString OtherBytes(int block, int first, int last)
{
    return QCoreApplication::translate("FailureDetail", "The read-back of block %1 shows other values in bytes %2 to "
                                                        "%3, which this write sends back as the radio held them: the "
                                                        "radio changed them itself, or another radio is on the cable.")
        .arg(block)
        .arg(first)
        .arg(last);
}

QString HalfWritten(const WriteFates &fates, WriteEnd end)
{
    QString next;
    switch (end) {
    case WriteEnd::Stopped:
        next = QCoreApplication::translate("FailureDetail", "Write again once the radio answers.");
        break;
    case WriteEnd::Differed:
        next = QCoreApplication::translate("FailureDetail", "Write again; a radio that keeps storing other bytes "
                                                            "than it is sent needs service.");
        break;
    case WriteEnd::OtherBytes:
        next = QCoreApplication::translate("FailureDetail", "The block was not written again. Read the radio on the "
                                                            "cable before writing to it.");
        break;
    }
    return Summary(fates) + QLatin1Char(' ') + next;
}

QString LeaveDuringWrite(const WriteFates &fates, bool sending)
{
    if (!sending)
        return QCoreApplication::translate("FailureDetail", "A write is under way; nothing has been written to the "
                                                            "radio yet.");
    return QCoreApplication::translate("FailureDetail", "A write is under way, and closing now ends it here. %1")
        .arg(Summary(fates));
}

QString CloseAnyway()
{
    return QCoreApplication::translate("FailureDetail", "Close anyway?");
}

} // namespace kelvra::failuredetail
