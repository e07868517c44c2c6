#pragma once

#include "transfer/collectionfile.h"
#include "transfer/fieldmapping.h"

#include <QByteArray>
#include <QString>

#include <array>

// One record of the file turned into a row of DATA1 (the record columns, then the structure
// column, as UTF-8), or the reason it cannot be taken. Runs on the import's worker threads.
class RecordConverter {
public:
    static constexpr int kColumns = 12;
    using Row = std::array<QByteArray, kColumns>;

    explicit RecordConverter(const FieldMapping& mapping);

    // Fills `row`, or returns why the record is skipped.
    QString convert(const SourceRecord& record, Row& row) const;

private:
    QString structureText(const SourceRecord& record) const;

    // Item name per column (empty: not mapped), the structure column last.
    std::array<QString, kColumns> items_;
};
