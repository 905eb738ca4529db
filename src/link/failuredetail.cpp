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
constexpr int WriteBlocks = int(std::size(WrittenFields));

QString Fields(int firstBlock, int endBlock)
{
    QStringList names;
    for (int block = firstBlock; block < endBlock; ++block) {
        for (const char *field : WrittenFields[block]) {
            if (field)
                names.append(Translated(field));
        }
    }
    if (names.size() == 1)
        return names.constFirst();
    const QString last = names.takeLast();
    const QString separator = QCoreApplication::translate("FailureDetail", ", ");
    return QCoreApplication::translate("FailureDetail", "%1 and %2").arg(names.join(separator), last);
}

} // namespace

QString Unanswered(const QString &request, int portNo, const QString &devicePath)
{
    const QString port = devicePath.isEmpty()
        ? QCoreApplication::translate("FailureDetail", "COM%1").arg(portNo)
        : QCoreApplication::translate("FailureDetail", "COM%1 (%2)").arg(QString::number(portNo), devicePath);
    return QCoreApplication::translate("FailureDetail",
                                       "The radio did not answer %1 on %2. Check that the radio is switched on and "
                                       "within reach of the cable, that the cable is seated firmly at both ends, and "
                                       "that COM%3 is the port the cable is on.")
        .arg(request, port, QString::number(portNo));
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

QString PortLost()
{
    return QCoreApplication::translate("FailureDetail",
                                       "The serial port was lost: the cable was pulled or the adapter removed.");
}

QString PortRefused()
{
    return QCoreApplication::translate("FailureDetail", "The serial port did not accept the data.");
}

QString HalfWritten(int acknowledged)
{
    if (acknowledged <= 0)
        return QCoreApplication::translate("FailureDetail",
                                           "The radio confirmed none of the new values; some may have reached it. "
                                           "Write again once the radio answers.");
    if (acknowledged >= WriteBlocks)
        return QString();
    // Only the last block carries a single field.
    const char *text = acknowledged == WriteBlocks - 1
        ? QT_TRANSLATE_NOOP("FailureDetail", "The radio took the new %1; the %2 was not confirmed. Write again "
                                             "once the radio answers.")
        : QT_TRANSLATE_NOOP("FailureDetail", "The radio took the new %1; the %2 were not confirmed. Write again "
                                             "once the radio answers.");
    return Translated(text).arg(Fields(0, acknowledged), Fields(acknowledged, WriteBlocks));
}

} // namespace kelvra::failuredetail
