#pragma once

#include "core/status.h"
#include "transfer/collectionfile.h"

#include <QList>
#include <QStringList>

// The start of a collection file, read before an import to propose its mapping: up to `count`
// records and the item names they hold, in order of first appearance.
struct CollectionPreview {
    QList<SourceRecord> records;
    QStringList items;
};
Status readCollectionPreview(const QString& path, CollectionFormat format, int count,
                             CollectionPreview& preview);
