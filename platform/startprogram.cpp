#include "platform/startprogram.h"

#include <QFileInfo>
#include <QProcess>

namespace {

ScriptedPrograms* script = nullptr;

} // namespace

ScriptedPrograms::ScriptedPrograms()
{
    script = this;
}

ScriptedPrograms::~ScriptedPrograms()
{
    if (script == this)
        script = nullptr;
}

bool StartProgram(const QString& program, QString* error)
{
    QString reason;
    if (script) {
        script->started_.append(program);
        if (script->fail_)
            reason = QStringLiteral("The program could not be started.");
    } else if (!QFileInfo(program).isFile()) {
        reason = QStringLiteral("The program %1 does not exist.").arg(program);
    } else if (!QProcess::startDetached(program, {})) {
        reason = QStringLiteral("The program %1 could not be started.").arg(program);
    }
    if (error)
        *error = reason;
    return reason.isEmpty();
}
