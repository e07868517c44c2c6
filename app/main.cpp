#include "app/commandline.h"
#include "app/commandlinejob.h"
#include "app/firststart.h"
#include "app/form1.h"
#include "controls/formpalette.h"
#include "platform/instancelock.h"
#include "platform/msgbox.h"
#include "platform/paths.h"

#include <QApplication>

#include <cstdio>

namespace {

int endWith(const QString& output, const QString& errors, int exitCode)
{
    std::fputs(output.toLocal8Bit().constData(), stdout);
    std::fputs(errors.toLocal8Bit().constData(), stderr);
    return exitCode;
}

int endWith(const CommandLine& line)
{
    return endWith(line.output, line.errors, line.exitCode);
}

} // namespace

int main(int argc, char* argv[])
{
    // Help and version are answered before any display is needed, so they work in a bare
    // terminal, and so is a script's import or export, mistakes included. Any other mistake
    // waits for the QApplication, which first takes Qt's own options.
    {
        const QCoreApplication shell(argc, argv);
        const CommandLine line = parseCommandLine(QCoreApplication::arguments());
        if (line.endNow && (line.exitCode == 0 || line.forScript))
            return endWith(line);
        if (!line.endNow && line.job != CommandLineJob::None) {
            const CommandLineJobResult done = runCommandLineJob(line, Paths::standard());
            return endWith(done.output, done.errors, done.exitCode);
        }
    }
    QApplication app(argc, argv);
    if (const CommandLine line = parseCommandLine(QApplication::arguments()); line.endNow)
        return endWith(line);
    QApplication::setApplicationName(QStringLiteral("Flaskbook"));
    // A dark desktop theme would darken the painted buttons, which take the system colours.
    applyDesignedPaletteToApplication();
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
