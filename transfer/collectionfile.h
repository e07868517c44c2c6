#pragma once

#include "core/status.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

// The kinds of collection file Flaskbook reads and writes.
enum class CollectionFormat { Sd, Smiles, Csv, Tsv };

// The format a file's name asks for (.sdf .sd .sdf.gz .smi .smiles .csv .tsv, any case);
// false for any other name.
bool collectionFormatOf(const QString& path, CollectionFormat& format);

// One record of a collection file as it stands in the file, before mapping: the text of its
// molecule (a MOL block or a SMILES string, empty when the record has none) and its named
// items (an SD record's title line and data items, a SMILES line's name, a CSV row's
// columns), in file order.
struct SourceRecord {
    // The record's number in the file (SD) or its first line's number (SMILES, CSV), from 1.
    long long number = 0;
    QString structure;
    QList<QPair<QString, QString>> items;
    // Why the record cannot be taken (a broken line, a field over 65,536 characters, a NUL
    // byte, text that is not UTF-8); empty for a record that reads. Its molecule is not
    // parsed here: the import job does that on its worker threads.
    QString fault;

    // The value of the item of that name, or an empty string.
    QString item(const QString& name) const;
};

// Reads a collection file one record at a time, from the start; fast enough to run on the
// one reading thread of an import. Not shared between threads.
class CollectionReader {
public:
    virtual ~CollectionReader() = default;

    // Opens `path` (a gzip-compressed .sdf.gz too); a failure says why in words a user
    // understands (missing, a folder, a FIFO, unreadable).
    static Status open(const QString& path, CollectionFormat format,
                       std::unique_ptr<CollectionReader>& out);

    // The next record; atEnd is true, and the record untouched, once the file is done. A
    // failure means the file itself cannot be read further (vanished, I/O error); a record
    // that cannot be taken comes back with its fault set instead.
    virtual Status next(SourceRecord& record, bool& atEnd) = 0;
    // The item names seen so far, in order of first appearance (a CSV file's header at once).
    virtual QStringList itemNames() const = 0;
};
