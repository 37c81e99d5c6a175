// The Quorvel window program.

#include <QApplication>
#include <QStandardPaths>

#include "MainWindow.h"
#include "TerminationSignals.h"
#include "panel/WindowCommands.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The name picks the user's data folder (~/.local/share/quorvel), used when the
    // program's own folder cannot be written.
    QApplication::setApplicationName("quorvel");
    QApplication::setDesktopFileName("quorvel");

    quorvel::MainWindow window(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const quorvel::TerminationSignals termination([&window] { window.terminationRequested(); });
    if (!window.start()) return 1;
    const int status = QApplication::exec();
    return window.panel().endedByRunTimeError() ? 2 : status;
}
