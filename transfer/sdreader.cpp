#include "transfer/collectionreaders.h"
#include "transfer/fieldmapping.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Item names are looked up by their bytes, so each distinct name is decoded once.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

// More distinct item names than this are not remembered (a file that numbers its items).
constexpr qsizetype kMaxRememberedNames = 10000;

bool isBlank(QByteArrayView line)
{
    return line.trimmed().isEmpty();
}

bool isRecordEnd(QByteArrayView line)
{
    return line.startsWith("$$$$");
}

// The name of a data item header line such as ">  <PUBCHEM_IUPAC_NAME>  (1)"; empty when
// the line names none.
QByteArrayView itemNameOf(QByteArrayView header)
{
    const qsizetype open = header.indexOf('<');
    if (open < 0)
        return {};
    const qsizetype close = header.indexOf('>', open + 1);
    return header.sliced(open + 1, (close < 0 ? header.size() : close) - open - 1);
}

// Reads SD files: per record a MOL block (V2000 or V3000) up to its "M  END" line, then
// "> <NAME>" data items, each ended by a blank line, up to "$$$$".
class SdReader : public CollectionReader {
public:
    explicit SdReader(std::unique_ptr<ByteSource> source) : lines_(std::move(source))
    {
        names_.append(titleLineItem());
    }

    Status next(SourceRecord& record, bool& atEnd) override;
    QStringList itemNames() const override { return names_; }

private:
    // Reads one line and checks it; atEnd at the end of the file.
    Status line(QByteArrayView& text, bool& atEnd);
    Status readMolecule(SourceRecord& record, bool& recordDone, bool& atEnd);
    Status readItems(SourceRecord& record);
    QString nameFor(QByteArrayView bytes);
    void fault(const QString& why);
    QString field(QByteArrayView bytes);

    LineReader lines_;
    long long count_ = 0;
    QStringList names_;
    std::unordered_map<std::string, QString, NameHash, std::equal_to<>> known_;
    QByteArray molecule_;
    QByteArray value_;
    qsizetype recordBytes_ = 0;
    QString fault_;
};

void SdReader::fault(const QString& why)
{
    if (fault_.isEmpty())
        fault_ = why;
}

QString SdReader::field(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.size() > kMaxFieldCharacters)
        fault(fieldTooLongMessage());
    return text;
}

QString SdReader::nameFor(QByteArrayView bytes)
{
    const std::string_view key(bytes.data(), size_t(bytes.size()));
    if (const auto it = known_.find(key); it != known_.end())
        return it->second;
    const QString name = QString::fromUtf8(bytes);
    if (qsizetype(known_.size()) < kMaxRememberedNames) {
        known_.emplace(std::string(key), name);
        if (!names_.contains(name))
            names_.append(name);
    }
    return name;
}

Status SdReader::line(QByteArrayView& text, bool& atEnd)
{
    if (Status read = lines_.next(text, atEnd); !read.ok() || atEnd)
        return read;
    if (lines_.tooLong())
        fault(recordTooLongMessage());
    if (const TextFault wrong = textFault(text); wrong != TextFault::None)
        fault(textFaultMessage(wrong));
    recordBytes_ += text.size() + 1;
    if (recordBytes_ > kMaxRecordBytes)
        fault(recordTooLongMessage());
    return {};
}

Status SdReader::readMolecule(SourceRecord& record, bool& recordDone, bool& atEnd)
{
    bool sawText = false;
    bool titleLine = true;
    QByteArrayView text;
    for (;;) {
        if (Status read = line(text, atEnd); !read.ok())
            return read;
        if (atEnd) {
            // Blank lines after the last record are no record.
            if (sawText) {
                atEnd = false;
                recordDone = true;
                fault(QStringLiteral("the record ends without an \"M  END\" line"));
                break;
            }
            return {};
        }
        if (isRecordEnd(text)) {
            recordDone = true;
            fault(QStringLiteral("the record has no \"M  END\" line"));
            break;
        }
        sawText = sawText || !isBlank(text);
        if (titleLine)
            record.items.append({titleLineItem(), field(text.trimmed())});
        titleLine = false;
        if (recordBytes_ <= kMaxRecordBytes) {
            molecule_.append(text);
            molecule_.append('\n');
        }
        if (text.startsWith("M  END"))
            break;
    }
    record.structure = QString::fromUtf8(molecule_);
    return {};
}

Status SdReader::readItems(SourceRecord& record)
{
    QByteArrayView text;
    bool atEnd = false;
    // A last record without "$$$$" is taken as it stands.
    for (;;) {
        if (Status read = line(text, atEnd); !read.ok())
            return read;
        if (atEnd || isRecordEnd(text))
            return {};
        if (!text.startsWith('>'))
            continue;
        const QByteArrayView nameBytes = itemNameOf(text);
        const QString name = nameBytes.isEmpty() ? QString() : nameFor(nameBytes);
        value_.resize(0);
        bool firstLine = true;
        for (;;) {
            if (Status read = line(text, atEnd); !read.ok())
                return read;
            if (atEnd || isRecordEnd(text) || isBlank(text))
                break;
            if (!firstLine)
                value_.append('\n');
            if (value_.size() <= kMaxRecordBytes)
                value_.append(text);
            firstLine = false;
        }
        if (!name.isEmpty())
            record.items.append({name, field(value_)});
        if (atEnd || isRecordEnd(text))
            return {};
    }
}

Status SdReader::next(SourceRecord& record, bool& atEnd)
{
    SourceRecord current;
    current.number = count_ + 1;
    molecule_.resize(0);
    recordBytes_ = 0;
    fault_.clear();
    bool recordDone = false;
    if (Status read = readMolecule(current, recordDone, atEnd); !read.ok() || atEnd)
        return read;
    if (!recordDone) {
        if (Status read = readItems(current); !read.ok())
            return read;
    }
    ++count_;
    current.fault = fault_;
    record = std::move(current);
    return {};
}

} // namespace

std::unique_ptr<CollectionReader> makeSdReader(std::unique_ptr<ByteSource> source)
{
    return std::make_unique<SdReader>(std::move(source));
}
