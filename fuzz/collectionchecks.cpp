#include "fuzz/collectionchecks.h"

#include "transfer/collectionreaders.h"

#include <bit>

QByteArray checkCollection(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray outcome;
    for (const CollectionFormat format : {CollectionFormat::Sd, CollectionFormat::Smiles,
                                          CollectionFormat::Csv, CollectionFormat::Tsv}) {
        outcome += QByteArray::number(int(format)) + ':';
        std::unique_ptr<CollectionReader> reader;
        Status status = openCollectionBytes(bytes, format, reader);
        if (!status.ok()) {
            if (status.message().isEmpty() || reader)
                qFatal("a refused file without a reason, or with a reader");
            outcome += "refused ";
            continue;
        }
        long long last = 0;
        for (bool atEnd = false; !atEnd;) {
            SourceRecord record;
            status = reader->next(record, atEnd);
            // Bytes in memory can always be read to their end.
            if (!status.ok())
                qFatal("reading failed: %s", qPrintable(status.message()));
            if (atEnd)
                break;
            if (record.number <= last ||
                (format == CollectionFormat::Sd && record.number != last + 1))
                qFatal("record %lld follows record %lld", record.number, last);
            last = record.number;
            const QStringList names = reader->itemNames();
            for (const auto& [name, value] : record.items) {
                if (!names.contains(name))
                    qFatal("record %lld has the item \"%s\", which the reader does not list",
                           record.number, qPrintable(name));
                if (record.fault.isEmpty() && value.size() > 65536)
                    qFatal("record %lld has a field of %lld characters and no fault", record.number,
                           qlonglong(value.size()));
            }
            if (!record.fault.isEmpty())
                outcome += record.fault.left(24).toUtf8() + ' ';
        }
        outcome += QByteArray::number(std::bit_width(quint64(last))) + ' ';
    }
    return outcome;
}
