#pragma once

#include "transfer/collectionfile.h"

#include <QString>
#include <QStringList>

// A job the command line runs without a window.
enum class CommandLineJob { None, Import, Export };

// What the command line asks for. A new option gets its field here and its declaration in
// parseCommandLine, the one place that knows the options.
struct CommandLine {
    // After --help, --version or a mistake the program prints and ends with exitCode,
    // without a window; otherwise it runs the job, or without one the window opens.
    bool endNow = false;
    int exitCode = 0;
    QString output; // for standard output
    QString errors; // for standard error
    // An import or export was asked for, rightly or not: the answer needs no display.
    bool forScript = false;

    CommandLineJob job = CommandLineJob::None;
    QString file;                                    // the file to import, or to export to
    CollectionFormat format = CollectionFormat::Csv; // told by the file's name
    QString mappingFile;                             // --mapping; empty for the default mapping
};

// Exit code for arguments the program does not take, as getopt-style tools use it.
constexpr int kUsageExitCode = 2;

// Reads `arguments`, the program's path first.
CommandLine parseCommandLine(const QStringList& arguments);
