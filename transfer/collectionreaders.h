#pragma once

#include "transfer/collectionfile.h"
#include "transfer/linereader.h"

#include <QByteArray>

#include <memory>

// The readers behind CollectionReader::open, one file each. `shownName` names the source
// in a failure.
std::unique_ptr<CollectionReader> makeSdReader(std::unique_ptr<ByteSource> source);
std::unique_ptr<CollectionReader> makeSmilesReader(std::unique_ptr<ByteSource> source);
// Reads the header row at once, so a header that cannot be read fails here.
Status makeDelimitedReader(std::unique_ptr<ByteSource> source, CollectionFormat format,
                           const QString& shownName, std::unique_ptr<CollectionReader>& out);

// A reader over bytes already in memory (never compressed), for the fuzz target.
Status openCollectionBytes(const QByteArray& bytes, CollectionFormat format,
                           std::unique_ptr<CollectionReader>& out);
