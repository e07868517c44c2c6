#include "app/collectionpreview.h"

#include <memory>

Status readCollectionPreview(const QString& path, CollectionFormat format, int count,
                             CollectionPreview& preview)
{
    std::unique_ptr<CollectionReader> reader;
    if (const Status opened = CollectionReader::open(path, format, reader); !opened.ok())
        return opened;
    preview = {};
    for (bool atEnd = false; preview.records.size() < count;) {
        SourceRecord record;
        if (const Status read = reader->next(record, atEnd); !read.ok())
            return read;
        if (atEnd)
            break;
        preview.records.append(record);
    }
    preview.items = reader->itemNames();
    return {};
}
