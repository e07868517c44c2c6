#pragma once

#include "app/commandline.h"
#include "platform/paths.h"

#include <QString>

// What a command-line job printed and how the program ends.
struct CommandLineJobResult {
    int exitCode = 0;
    QString output; // the summary line
    QString errors; // the reason it failed, and the records an import skipped
};

// Runs the import or export `line` asks for on the database in `paths`, without a window:
// installs the shipped database where there is none, as the window's start does, and refuses
// while a running Flaskbook (a window or another job) holds the data folder's lock.
CommandLineJobResult runCommandLineJob(const CommandLine& line, const Paths& paths);
