#include "transfer/collectionfile.h"

#include "transfer/collectionreaders.h"

#include <QDir>

namespace {

Status makeReader(std::unique_ptr<ByteSource> source, CollectionFormat format,
                  const QString& shownName, std::unique_ptr<CollectionReader>& out)
{
    switch (format) {
    case CollectionFormat::Sd:
        out = makeSdReader(std::move(source));
        return {};
    case CollectionFormat::Smiles:
        out = makeSmilesReader(std::move(source));
        return {};
    case CollectionFormat::Csv:
    case CollectionFormat::Tsv:
        break;
    }
    return makeDelimitedReader(std::move(source), format, shownName, out);
}

} // namespace

bool collectionFormatOf(const QString& path, CollectionFormat& format)
{
    static const struct {
        const char* suffix;
        CollectionFormat format;
    } kSuffixes[] = {
        {".sdf", CollectionFormat::Sd},     {".sd", CollectionFormat::Sd},
        {".sdf.gz", CollectionFormat::Sd},  {".sd.gz", CollectionFormat::Sd},
        {".smi", CollectionFormat::Smiles}, {".smiles", CollectionFormat::Smiles},
        {".csv", CollectionFormat::Csv},    {".tsv", CollectionFormat::Tsv},
    };
    for (const auto& entry : kSuffixes) {
        if (path.endsWith(QLatin1String(entry.suffix), Qt::CaseInsensitive)) {
            format = entry.format;
            return true;
        }
    }
    return false;
}

QString SourceRecord::item(const QString& name) const
{
    for (const auto& [itemName, value] : items) {
        if (itemName == name)
            return value;
    }
    return {};
}

Status CollectionReader::open(const QString& path, CollectionFormat format,
                              std::unique_ptr<CollectionReader>& out)
{
    const bool compressed =
        format == CollectionFormat::Sd && path.endsWith(QLatin1String(".gz"), Qt::CaseInsensitive);
    std::unique_ptr<ByteSource> source;
    if (Status opened = openFileSource(path, compressed, source); !opened.ok())
        return opened;
    return makeReader(std::move(source), format, QDir::toNativeSeparators(path), out);
}

Status openCollectionBytes(const QByteArray& bytes, CollectionFormat format,
                           std::unique_ptr<CollectionReader>& out)
{
    return makeReader(memorySource(bytes), format, QStringLiteral("the text"), out);
}
