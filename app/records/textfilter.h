#pragma once

#include "core/jobprogress.h"
#include "core/status.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

// The text filter index of a database file: an FTS5 table of trigrams over DATA1's Name,
// IUPAC, CAS and MolFormula, reading its text from DATA1 itself and keyed by rowid. Three
// triggers on DATA1, kept in the file, feed it every insert, update and delete, whichever
// program writes. It holds nothing that DATA1 does not: a rebuild recomputes it, so a file
// without it (or with half of it) just gets it built again.
namespace TextFilterIndex {

// The index table's name.
const QString& tableName();
// The statements that make the index and its triggers, for a file whose DATA1 is empty.
QByteArray createStatements();
// The trigger that feeds the index each new row, and the same work as one statement for the
// rows whose rowids lie in ?1..?2 (see AppendUpkeep).
const char* insertTriggerName();
QByteArray appendedRowsSql();
// Whether the file holds the index with all three of its triggers.
Status isPresent(sqlite3* db, bool& present);
// Builds the index from the records in one transaction of a connection of its own, so no
// writer can slip a row in between; progress counts records. A cancel leaves the file as
// it was. Runs on a worker thread.
Status build(const QString& databasePath, JobProgress& progress);

} // namespace TextFilterIndex

// A text looked for as a part of a field, ignoring case for every letter (Unicode's simple
// case folding, accents kept apart): "eth" is in "Diethyl ether" and "ΑΙΘΑΝΟΛΗ" holds "θαν".
class TextNeedle {
public:
    explicit TextNeedle(const QString& text);

    bool isEmpty() const { return folded_.empty(); }
    bool foundIn(const QString& stored) const;
    // The same for stored UTF-8 bytes, quickly for the usual ASCII text.
    bool foundIn(const char* utf8, int bytes) const;
    // Whether every record holding the text is among those the index gives for it: three
    // characters at least, none of which the index folds otherwise than we do.
    bool indexFindsAll() const;
    // The index query: the whole text as one phrase.
    QByteArray matchExpression() const;

private:
    QString text_;
    std::u32string folded_;
    // Set when the text is ASCII without s or k, whose only non-ASCII spellings are ſ and K.
    QByteArray asciiFolded_;
};

// Where findRecordsContaining hands its results.
struct TextFilterReceiver {
    // Records holding the text, by rowid, ascending, in batches; false stops the search.
    std::function<bool(const std::vector<long long>&)> found;
    // Every record is found; what follows can only withdraw some.
    std::function<void()> allFound;
    // Records found through the index that, read again, do not hold the text: an index out
    // of step with its table, which its triggers never leave it.
    std::function<void(const std::vector<long long>&)> withdrawn;
};

// Every record of the database with a Name, IUPAC name, CAS number or formula holding
// `text`. Uses the index where the file has it and it can answer, reading every record
// otherwise. The first few records the index names are read and checked before they are
// passed on, the rest after all are found, so the result never depends on the index being in
// step. Opens a connection of its own; runs on a worker thread.
Status findRecordsContaining(const QString& databasePath, const QString& text,
                             const TextFilterReceiver& receiver, const std::atomic<bool>& cancel);
