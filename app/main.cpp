#include "app/firststart.h"
#include "app/form1.h"
#include "platform/instancelock.h"
#include "platform/msgbox.h"
#include "platform/paths.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flaskbook"));
    // Lets the desktop match the window to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.flaskbook.Flaskbook"));

    const Paths paths = Paths::standard();
    // Held until the program ends; the companion Restart waits for it to be let go.
    InstanceLock running(paths.dataFolder);
    if (const Status locked = running.tryLock(); !locked.ok()) {
        MsgBox(locked.message(), vbOKOnly | (running.heldElsewhere() ? vbInformation : vbCritical),
               QStringLiteral("Flaskbook"));
        return 1;
    }
    if (Status installed = installShippedDatabase(paths); !installed.ok()) {
        MsgBox(installed.message(), vbOKOnly | vbCritical, QStringLiteral("Flaskbook"));
        return 1;
    }

    Form1 window(paths);
    window.show();
    return QApplication::exec();
}
