#include "core/filekind.h"
#include "transfer/transferjobs.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>
#include <zlib.h>

#include <vector>

namespace {

// Counts records as the bytes go by: SD records end at "$$$$" lines; SMILES records are lines
// with text; CSV and TSV records are rows with text after the header, a line end inside quotes
// belonging to its field.
class RecordCounter {
public:
    explicit RecordCounter(CollectionFormat format) : format_(format) {}

    void feed(const char* bytes, size_t size)
    {
        for (size_t i = 0; i < size; ++i) {
            const char c = bytes[i];
            if (c == '"' && quoting())
                inQuotes_ = !inQuotes_;
            if (c == '\n' && !inQuotes_) {
                endLine();
                continue;
            }
            if (column_ < 4 && c != '$')
                dollarsOnly_ = false;
            ++column_;
            if (c != ' ' && c != '\t' && c != '\r')
                lineHasText_ = true;
        }
    }
    long long finish()
    {
        endLine();
        if (format_ == CollectionFormat::Sd && sdRecordOpen_)
            ++count_;
        if (quoting() && count_ > 0)
            --count_; // the header row
        return count_;
    }

private:
    bool quoting() const
    {
        return format_ == CollectionFormat::Csv || format_ == CollectionFormat::Tsv;
    }
    void endLine()
    {
        if (format_ == CollectionFormat::Sd) {
            if (column_ >= 4 && dollarsOnly_) {
                ++count_;
                sdRecordOpen_ = false;
            } else if (lineHasText_) {
                sdRecordOpen_ = true;
            }
        } else if (lineHasText_) {
            ++count_;
        }
        column_ = 0;
        dollarsOnly_ = true;
        lineHasText_ = false;
    }

    CollectionFormat format_;
    long long count_ = 0;
    int column_ = 0;
    bool dollarsOnly_ = true;
    bool lineHasText_ = false;
    bool inQuotes_ = false;
    bool sdRecordOpen_ = false;
};

} // namespace

Status countCollectionRecords(const QString& path, CollectionFormat format, JobProgress& progress,
                              long long& count)
{
    count = 0;
    progress.done = 0;
    if (const Status regular = regularFileOrNewName(path); !regular.ok())
        return regular;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("The file cannot be read: %1.").arg(file.errorString()));
    progress.total = file.size();
    // zlib reads plain files as they are, so .sdf.gz needs no case of its own.
    gzFile stream = gzdopen(dup(file.handle()), "rb");
    if (!stream)
        return Status::failure(QStringLiteral("The file cannot be read."));
    gzbuffer(stream, 1 << 18);
    RecordCounter counter(format);
    std::vector<char> buffer(1 << 20);
    Status status;
    for (;;) {
        if (progress.cancelRequested) {
            status = Status::failure(QStringLiteral("Counting was cancelled."));
            break;
        }
        const int read = gzread(stream, buffer.data(), unsigned(buffer.size()));
        if (read < 0) {
            int code = 0;
            status = Status::failure(
                QStringLiteral("The file cannot be read: %1.").arg(gzerror(stream, &code)));
            break;
        }
        if (read == 0)
            break;
        counter.feed(buffer.data(), size_t(read));
        progress.done = gzoffset(stream);
    }
    gzclose(stream);
    if (!status.ok())
        return status;
    progress.done = progress.total.load();
    count = counter.finish();
    return {};
}
