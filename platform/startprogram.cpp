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

Status StartProgram(const QString& program)
{
    if (script) {
        script->started_.append(program);
        if (script->fail_)
            return Status::failure(QStringLiteral("The program could not be started."));
        return {};
    }
    if (!QFileInfo(program).isFile())
        return Status::failure(QStringLiteral("The program %1 does not exist.").arg(program));
    if (!QProcess::startDetached(program, {}))
        return Status::failure(QStringLiteral("The program %1 could not be started.").arg(program));
    return {};
}
