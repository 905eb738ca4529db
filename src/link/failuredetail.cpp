#include "link/failuredetail.h"

#include <QCoreApplication>
#include <QStringList>

#include <iterator>

namespace kelvra::failuredetail {

namespace {

constexpr char Context[] = "FailureDetail";

QString Tr(const char *text)
{
    return QCoreApplication::translate(Context, text);
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
                names.append(Tr(field));
        }
    }
    if (names.size() == 1)
        return names.constFirst();
    const QString last = names.takeLast();
    return Tr("%1 and %2").arg(names.join(Tr(", ")), last);
}

} // namespace

QString Unanswered(const QString &request, int portNo, const QString &devicePath)
{
    const QString port = devicePath.isEmpty() ? Tr("COM%1").arg(portNo) : Tr("COM%1 (%2)").arg(portNo).arg(devicePath);
    return Tr("The radio did not answer %1 on %2. Check that the radio is switched on and within reach of the "
              "cable, that the cable is seated firmly at both ends, and that COM%3 is the port the cable is on.")
        .arg(request, port, QString::number(portNo));
}

QString ProgramRequest()
{
    return Tr("the request to enter programming mode (PROGRAM)");
}

QString IdentifyRequest()
{
    return Tr("the identification request");
}

QString ReadBlock(int block)
{
    return Tr("the read of block %1").arg(block);
}

QString WriteBlock(int block)
{
    return Tr("the write of block %1").arg(block);
}

QString PortLost()
{
    return Tr("The serial port was lost: the cable was pulled or the adapter removed.");
}

QString PortRefused()
{
    return Tr("The serial port did not accept the data.");
}

QString HalfWritten(int acknowledged)
{
    if (acknowledged <= 0)
        return Tr("The radio confirmed none of the new values; some may have reached it. Write again once the "
                  "radio answers.");
    if (acknowledged >= WriteBlocks)
        return QString();
    // Only the last block carries a single field.
    const char *text = acknowledged == WriteBlocks - 1
        ? QT_TRANSLATE_NOOP("FailureDetail", "The radio took the new %1; the %2 was not confirmed. Write again "
                                             "once the radio answers.")
        : QT_TRANSLATE_NOOP("FailureDetail", "The radio took the new %1; the %2 were not confirmed. Write again "
                                             "once the radio answers.");
    return Tr(text).arg(Fields(0, acknowledged), Fields(acknowledged, WriteBlocks));
}

} // namespace kelvra::failuredetail
