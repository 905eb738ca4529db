#pragma once

#include <QCoreApplication>

namespace kelvra {

// The translation context of the commands' texts: Cli::tr("...").
struct Cli {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

} // namespace kelvra
