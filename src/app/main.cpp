#include "app/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KelvraSet"));

    kelvra::Program program(kelvra::ProgramEnvironment::Host());
    program.Form_Load();
    program.Window().PlaceOnScreen();
    program.Window().show();
    return QApplication::exec();
}
