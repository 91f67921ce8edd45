// cepomer-drive: the real screens without a display, worked through standard
// input and output. See the README for the protocol.
#include <iostream>
#include <string>

#include <QApplication>

#include "drive/driver.h"
#include "shell/appearance.h"

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    cepomer::shell::applyAppearance(app);

    cepomer::drive::Driver driver(cepomer::shell::systemNumberFormat());
    std::string line;
    while (!driver.ended() && std::getline(std::cin, line)) {
        std::cout << driver.execute(line) << std::flush;
    }
    return 0;
}
