#include "transfer/collectionreaders.h"
#include "transfer/fieldmapping.h"

namespace {

// Reads SMILES files: per line a SMILES string, then an optional name after blanks or a tab.
// Blank lines and lines starting with "#" (comments, or a header some programs write) are
// skipped.
class SmilesReader : public CollectionReader {
public:
    explicit SmilesReader(std::unique_ptr<ByteSource> source) : lines_(std::move(source)) {}

    Status next(SourceRecord& record, bool& atEnd) override;
    QStringList itemNames() const override { return {smilesNameItem()}; }

private:
    LineReader lines_;
};

Status SmilesReader::next(SourceRecord& record, bool& atEnd)
{
    QByteArrayView line;
    for (;;) {
        if (Status read = lines_.next(line, atEnd); !read.ok() || atEnd)
            return read;
        line = line.trimmed();
        if (!line.isEmpty() && !line.startsWith('#'))
            break;
    }
    SourceRecord current;
    current.number = lines_.lineNumber();
    if (lines_.tooLong())
        current.fault = recordTooLongMessage();
    else if (const TextFault wrong = textFault(line); wrong != TextFault::None)
        current.fault = textFaultMessage(wrong);

    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    current.structure = QString::fromUtf8(line.first(end));
    const QString name = QString::fromUtf8(line.sliced(end).trimmed());
    if (current.fault.isEmpty() && name.size() > kMaxFieldCharacters)
        current.fault = fieldTooLongMessage();
    current.items.append({smilesNameItem(), name});
    record = std::move(current);
    return {};
}

} // namespace

std::unique_ptr<CollectionReader> makeSmilesReader(std::unique_ptr<ByteSource> source)
{
    return std::make_unique<SmilesReader>(std::move(source));
}
