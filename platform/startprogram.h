#pragma once

#include "core/status.h"

#include <QString>
#include <QStringList>

// Starts `program` with no arguments and returns at once, without waiting for it.
Status StartProgram(const QString& program);

// For tests: while one exists, StartProgram starts nothing. It records every program it
// was asked to start and reports success, or failure after failStarts(true).
class ScriptedPrograms {
public:
    ScriptedPrograms();
    ~ScriptedPrograms();
    ScriptedPrograms(const ScriptedPrograms&) = delete;
    ScriptedPrograms& operator=(const ScriptedPrograms&) = delete;

    const QStringList& started() const { return started_; }
    void failStarts(bool fail) { fail_ = fail; }

private:
    friend Status StartProgram(const QString&);
    QStringList started_;
    bool fail_ = false;
};
