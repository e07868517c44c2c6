#pragma once

#include "app/records/boundfield.h"

#include <QList>
#include <QString>
#include <QStringList>

// A record with Name `name` and every other field derived from it, so a test can
// tell the records apart by any column: IUPAC "iupac <name>", CAS "cas-<name>", ...
QStringList sampleRecord(const QString& name);

// Creates `path` with table DATA1 holding `records` (full rows of eleven values) in order.
// Fails the calling test if anything goes wrong.
void createTestDatabase(const QString& path, const QList<QStringList>& records);
void createTestDatabase(const QString& path, const QStringList& names);

// Creates `path` with `count` records named "CHEMICAL <n>", built by the engine itself
// so that a million rows take a second or two.
void createLargeTestDatabase(const QString& path, int count);

// Every row of DATA1, in rowid order, read through a connection of its own.
QList<QStringList> readTable(const QString& path);
QStringList readNames(const QString& path);

// A file's bytes, empty when it cannot be read; and a file written with `bytes`.
QByteArray fileContents(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// Runs `sql` through a connection of its own, as another program would; fails the calling
// test if it fails.
void runAsAnotherProgram(const QString& path, const char* sql);

struct sqlite3;

// Holds a write lock on the file through a connection of its own, as another program
// would, until it goes out of scope.
class WriteLock {
public:
    explicit WriteLock(const QString& path);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool locked() const { return locked_; }

private:
    sqlite3* db_ = nullptr;
    bool locked_ = false;
};

// A bound field that is just a string, standing in for a text box.
class TextHolder : public BoundField {
public:
    QString boundText() const override { return text; }
    void setBoundText(const QString& value) override { text = value; }
    QString text;
};
