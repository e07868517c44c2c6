#include "transfer/collectionreaders.h"

#include <cstring>

namespace {

// Reads CSV (RFC 4180: fields in double quotes may hold commas, line breaks and "" for a
// quote) and TSV (tab separated, no quoting) files whose first row names the columns.
class DelimitedReader : public CollectionReader {
public:
    DelimitedReader(std::unique_ptr<ByteSource> source, CollectionFormat format)
        : lines_(std::move(source)), separator_(format == CollectionFormat::Csv ? ',' : '\t'),
          quoting_(format == CollectionFormat::Csv)
    {
    }

    Status readHeader(const QString& shownName);
    Status next(SourceRecord& record, bool& atEnd) override;
    QStringList itemNames() const override { return header_; }

private:
    // One row, which may run over several lines inside quotes; blank lines are skipped.
    Status readRow(bool& atEnd);
    void endField();
    void fault(const QString& why)
    {
        if (fault_.isEmpty())
            fault_ = why;
    }

    LineReader lines_;
    char separator_;
    bool quoting_;
    QStringList header_;
    // The row being read.
    QStringList fields_;
    QByteArray field_;
    long long firstLine_ = 0;
    QString fault_;
};

void DelimitedReader::endField()
{
    QString text = QString::fromUtf8(field_);
    if (text.size() > kMaxFieldCharacters)
        fault(fieldTooLongMessage());
    fields_.append(std::move(text));
    field_.resize(0);
}

Status DelimitedReader::readRow(bool& atEnd)
{
    fields_.clear();
    field_.resize(0);
    fault_.clear();
    QByteArrayView line;
    do {
        if (Status read = lines_.next(line, atEnd); !read.ok() || atEnd)
            return read;
    } while (line.isEmpty());
    firstLine_ = lines_.lineNumber();
    qsizetype rowBytes = 0;
    bool quoted = false;    // inside a quoted field
    bool fieldStart = true; // nothing of the current field read yet
    for (;;) {
        if (lines_.tooLong())
            fault(recordTooLongMessage());
        if (const TextFault wrong = textFault(line); wrong != TextFault::None)
            fault(textFaultMessage(wrong));
        rowBytes += line.size() + 1;
        const char* at = line.data();
        const char* end = at + line.size();
        while (at < end) {
            if (quoted) {
                const char* quote =
                    static_cast<const char*>(std::memchr(at, '"', size_t(end - at)));
                if (!quote) {
                    field_.append(at, end - at);
                    at = end;
                } else if (quote + 1 < end && quote[1] == '"') {
                    field_.append(at, quote + 1 - at);
                    at = quote + 2;
                } else {
                    field_.append(at, quote - at);
                    at = quote + 1;
                    quoted = false;
                }
                continue;
            }
            const char c = *at++;
            if (c == separator_) {
                endField();
                fieldStart = true;
            } else if (c == '"' && quoting_ && fieldStart) {
                quoted = true;
                fieldStart = false;
            } else {
                field_.append(c);
                fieldStart = false;
            }
        }
        if (!quoted)
            break;
        if (rowBytes > kMaxRecordBytes) {
            fault(recordTooLongMessage());
            break;
        }
        field_.append('\n');
        bool lastLine = false;
        if (Status read = lines_.next(line, lastLine); !read.ok())
            return read;
        if (lastLine) {
            fault(QStringLiteral("a quoted field is not closed at the end of the file"));
            break;
        }
    }
    endField();
    return {};
}

Status DelimitedReader::readHeader(const QString& shownName)
{
    bool atEnd = false;
    if (Status read = readRow(atEnd); !read.ok() || atEnd)
        return read;
    if (!fault_.isEmpty())
        return Status::failure(
            QStringLiteral("The header row of %1 cannot be read: %2.").arg(shownName, fault_));
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        // A name is one line, so that a mapping can name it.
        QString name = fields_[i].simplified();
        if (name.isEmpty())
            name = QStringLiteral("Column %1").arg(i + 1);
        header_.append(name);
    }
    return {};
}

Status DelimitedReader::next(SourceRecord& record, bool& atEnd)
{
    if (Status read = readRow(atEnd); !read.ok() || atEnd)
        return read;
    SourceRecord current;
    current.number = firstLine_;
    if (fields_.size() > header_.size())
        fault(QStringLiteral("the row has %1 fields, the header only %2")
                  .arg(fields_.size())
                  .arg(header_.size()));
    current.fault = fault_;
    current.items.reserve(header_.size());
    for (qsizetype i = 0; i < header_.size(); ++i)
        current.items.append({header_[i], i < fields_.size() ? fields_[i] : QString()});
    record = std::move(current);
    return {};
}

} // namespace

Status makeDelimitedReader(std::unique_ptr<ByteSource> source, CollectionFormat format,
                           const QString& shownName, std::unique_ptr<CollectionReader>& out)
{
    auto reader = std::make_unique<DelimitedReader>(std::move(source), format);
    if (Status header = reader->readHeader(shownName); !header.ok())
        return header;
    out = std::move(reader);
    return {};
}
