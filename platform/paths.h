#pragma once

#include <QString>

// Where Flaskbook keeps its files. The window gets these instead of fixed paths,
// so tests can point it at a temporary folder.
struct Paths {
    QString dataFolder;    // Flaskbook.mdb and the structure pictures
    QString programFolder; // the running executable and its companion programs
    QString backupFolder;  // the one backup slot

    QString databaseFile() const { return dataFolder + QStringLiteral("/Flaskbook.mdb"); }
    QString backupFile() const { return backupFolder + QStringLiteral("/Flaskbook.mdb"); }

    // $XDG_DATA_HOME/Flaskbook (~/.local/share/Flaskbook), the executable's folder,
    // ~/BackupFlaskbook.
    static Paths standard();
};
