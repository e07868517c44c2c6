#include "platform/paths.h"
#include "tools/restart/restart.h"

#include <QApplication>

namespace {

// Flaskbook closes its database before it starts us, so ending takes it a moment only.
constexpr int kWaitForEndMs = 60000;

} // namespace

// Started by Flaskbook after a backup, with no arguments: starts Flaskbook again from
// this program's own folder once the running one has ended.
int main(int argc, char* argv[])
{
    // A message box tells the user when Flaskbook cannot be started again.
    QApplication app(argc, argv);
    const Paths paths = Paths::standard();
    if (const Status restarted = restartWhenEnded(
            paths.dataFolder, paths.programFolder + QStringLiteral("/flaskbook"), kWaitForEndMs);
        !restarted.ok()) {
        reportRestartFailure(restarted);
        return 1;
    }
    return 0;
}
