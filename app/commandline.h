#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. A new option gets its field here and its declaration in
// parseCommandLine, the one place that knows the options.
struct CommandLine {
    // After --help, --version or a mistake the program prints and ends with exitCode,
    // without a window; otherwise the window opens.
    bool endNow = false;
    int exitCode = 0;
    QString output; // for standard output
    QString errors; // for standard error
};

// Exit code for arguments the program does not take, as getopt-style tools use it.
constexpr int kUsageExitCode = 2;

// Reads `arguments`, the program's path first.
CommandLine parseCommandLine(const QStringList& arguments);
