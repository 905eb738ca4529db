#pragma once

// The product's link with its serial control and reply timer over a
// pseudo-terminal, wired as the window and the commands wire it (traced when
// kelvra.trace is on), and the simulated radio at the far end under a port alias.

#include "demoimage.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "link/tracing.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "simulatedradio.h"
#include "support/scriptedoperator.h"

#include <QTemporaryDir>

#include <memory>

namespace kelvra::testing {

struct PtyLink
{
    // The alias goes into in/ports, or into a temporary folder of its own when in is empty.
    explicit PtyLink(const QString &in = QString(), qint16 port = 907)
        : folder(in.isEmpty() ? (own = std::make_unique<QTemporaryDir>())->path() : in), comPortNo(port)
    {
    }

    // Starts the radio with the demo image; false, with a warning, when the pseudo-terminal is refused.
    bool Start()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        QString error;
        if ((own && !own->isValid()) || !radio.Start(&error)
            || !radio.MakeAlias(directory.AliasDir(), comPortNo, &error)) {
            qWarning("simulated radio: %s", qPrintable(error));
            return false;
        }
        radio.SetImage(radiosim::DemoImage());
        return true;
    }

    std::unique_ptr<QTemporaryDir> own;
    const QString folder;
    radiosim::SimulatedRadio radio;
    PortDirectory directory{folder + QStringLiteral("/ports")};
    QtSerialControl control{directory};
    QtReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    RadioImage image;
    qint16 comPortNo;
    LinkSeams seams{control, timer, op, &directory};
    RadioLink link{seams.Control(), seams.Timer(), seams.Op(), info, image, comPortNo};
};

} // namespace kelvra::testing
