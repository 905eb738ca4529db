#pragma once

#include "demoimage.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "radioframes.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "simulatedradio.h"
#include "support/scriptedoperator.h"

#include <QTemporaryDir>
#include <QTest>

namespace kelvra {

// The product's serial control and reply timer over a pseudo-terminal, with
// the simulated radio at the far end under a port alias of its own.
struct SimWorld
{
    static constexpr int PortNo = 907;

    QTemporaryDir dir;
    radiosim::SimulatedRadio radio;
    PortDirectory directory{dir.filePath(QStringLiteral("ports"))};
    QtSerialControl control{directory};
    QtReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    RadioImage image;
    qint16 comPortNo = PortNo;
    RadioLink link{control, timer, op, info, image, comPortNo};

    // Starts the radio with the demo image; false (with a test failure) if the pty is refused.
    bool Start()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        QString error;
        if (!dir.isValid() || !radio.Start(&error) || !radio.MakeAlias(directory.AliasDir(), PortNo, &error)) {
            qWarning("simulated radio: %s", qPrintable(error));
            return false;
        }
        radio.SetImage(radiosim::DemoImage());
        radio.SetModelBytes("KR350UV");
        return true;
    }

    // Requests as the radio received them, in hex, block frames cut after the block number.
    QStringList Requests() const
    {
        QStringList list;
        for (const radiosim::ReceivedFrame &frame : radio.Frames()) {
            const QByteArray &b = frame.bytes;
            list.append(QString::fromLatin1(b.size() == radiosim::kBlockFrameSize ? b.left(5).toHex() + "..."
                                                                                  : b.toHex()));
        }
        return list;
    }

    QByteArray Image() const { return QByteArray(reinterpret_cast<const char *>(image.data()), RadioImage::Size); }
};

inline const QStringList &FullReadRequests()
{
    static const QStringList requests{"50524f4752414d", "02", "5208002000", "5208002001",
                                      "5208002002", "5208002003", "5208002004", "5208002005",
                                      "5208002006", "5208002007", "454e44"};
    return requests;
}

inline const QStringList &FullWriteRequests()
{
    static const QStringList requests{"50524f4752414d", "02", "5208002000", "5208002001",
                                      "5208002002", "5208002004", "5708002000...", "5708002001...",
                                      "5708002002...", "5708002003...", "5708002004...", "454e44"};
    return requests;
}

} // namespace kelvra
