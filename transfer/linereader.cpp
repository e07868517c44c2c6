#include "transfer/linereader.h"

#include "core/filekind.h"

#include <QDir>
#include <QFile>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Status readFailure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("Reading %1 failed: %2").arg(shownPath(path), reason));
}

class FileSource : public ByteSource {
public:
    FileSource(int fd, const QString& path) : fd_(fd), path_(path) {}
    ~FileSource() override { ::close(fd_); }

    Status read(char* buffer, qsizetype capacity, qsizetype& got) override
    {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, size_t(capacity));
        } while (n < 0 && errno == EINTR);
        if (n < 0)
            return readFailure(path_, systemError() + u'.');
        got = qsizetype(n);
        return {};
    }

private:
    int fd_;
    QString path_;
};

class GzipSource : public ByteSource {
public:
    GzipSource(gzFile file, const QString& path) : file_(file), path_(path) {}
    ~GzipSource() override { gzclose(file_); }

    Status read(char* buffer, qsizetype capacity, qsizetype& got) override
    {
        const int n = gzread(file_, buffer, unsigned(std::min<qsizetype>(capacity, INT_MAX)));
        if (n > 0) {
            got = n;
            return {};
        }
        int code = Z_OK;
        const char* message = gzerror(file_, &code);
        // Z_BUF_ERROR is zlib's word for a stream cut off before its end.
        if (code == Z_BUF_ERROR)
            return readFailure(path_, QStringLiteral("the compressed file ends too early."));
        if (code == Z_ERRNO)
            return readFailure(path_, systemError() + u'.');
        if (code != Z_OK || n < 0)
            return readFailure(path_, QStringLiteral("the compressed data is damaged (%1).")
                                          .arg(QString::fromLatin1(message)));
        got = 0;
        return {};
    }

private:
    gzFile file_;
    QString path_;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(const QByteArray& bytes) : bytes_(bytes) {}

    Status read(char* buffer, qsizetype capacity, qsizetype& got) override
    {
        got = std::min(capacity, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.constData() + position_, size_t(got));
        position_ += got;
        return {};
    }
    // Small texts (the fuzz target's) need no large buffer.
    qsizetype blockSize() const override
    {
        return std::clamp<qsizetype>(bytes_.size() + 1, 64, 1024 * 1024);
    }

private:
    QByteArray bytes_;
    qsizetype position_ = 0;
};

} // namespace

Status openFileSource(const QString& path, bool compressed, std::unique_ptr<ByteSource>& out)
{
    const QString cannotRead = QStringLiteral("%1 cannot be read. %2").arg(shownPath(path));
    const Status kind = regularFileOrNewName(path);
    if (!kind.ok())
        return Status::failure(cannotRead.arg(kind.message()));
    // Non-blocking, so that a FIFO put in the file's place since the check cannot hang us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        QString reason = systemError() + u'.';
        if (errno == ENOENT)
            reason = QStringLiteral("It does not exist.");
        else if (errno == EACCES)
            reason = QStringLiteral("You are not allowed to read it.");
        return Status::failure(cannotRead.arg(reason));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::failure(cannotRead.arg(QStringLiteral("It is not a regular file.")));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!compressed) {
        out = std::make_unique<FileSource>(fd, path);
        return {};
    }
    gzFile file = gzdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return Status::failure(cannotRead.arg(QStringLiteral("zlib could not open it.")));
    }
    gzbuffer(file, 256 * 1024);
    out = std::make_unique<GzipSource>(file, path);
    return {};
}

std::unique_ptr<ByteSource> memorySource(const QByteArray& bytes)
{
    return std::make_unique<MemorySource>(bytes);
}

TextFault textFault(QByteArrayView bytes)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    // Eight plain ASCII bytes at a time: no high bit set and no zero byte.
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        if ((word & kHigh) || ((word - kOnes) & ~word & kHigh))
            break;
    }
    const QByteArrayView rest = bytes.sliced(i);
    if (std::memchr(rest.data(), 0, size_t(rest.size())))
        return TextFault::Nul;
    for (const char c : rest) {
        if (uchar(c) >= 0x80)
            return rest.isValidUtf8() ? TextFault::None : TextFault::NotUtf8;
    }
    return TextFault::None;
}

QString textFaultMessage(TextFault fault)
{
    if (fault == TextFault::Nul)
        return QStringLiteral("the text holds a NUL byte");
    if (fault == TextFault::NotUtf8)
        return QStringLiteral("the text is not UTF-8");
    return {};
}

QString fieldTooLongMessage()
{
    return QStringLiteral("a field is longer than 65,536 characters");
}

QString recordTooLongMessage()
{
    return QStringLiteral("the record is longer than 16 MB");
}

LineReader::LineReader(std::unique_ptr<ByteSource> source) : source_(std::move(source))
{
    buffer_.resize(source_->blockSize());
}

Status LineReader::fill()
{
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.constData() + begin_, size_t(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2);
    qsizetype got = 0;
    const Status read = source_->read(buffer_.data() + end_, buffer_.size() - end_, got);
    if (!read.ok())
        return read;
    if (got == 0)
        sourceDone_ = true;
    end_ += got;
    return {};
}

Status LineReader::next(QByteArrayView& line, bool& atEnd)
{
    atEnd = false;
    tooLong_ = false;
    qsizetype scanned = 0; // bytes after begin_ known to hold no line end
    for (;;) {
        const char* data = buffer_.constData();
        if (skipRestOfLine_) {
            const void* end = std::memchr(data + begin_, '\n', size_t(end_ - begin_));
            begin_ = end ? static_cast<const char*>(end) - data + 1 : end_;
            if (end || sourceDone_)
                skipRestOfLine_ = false;
            else if (Status s = fill(); !s.ok())
                return s;
            continue;
        }
        if (!started_) {
            if (end_ - begin_ < 3 && !sourceDone_) {
                if (Status s = fill(); !s.ok())
                    return s;
                continue;
            }
            started_ = true;
            if (QByteArrayView(data + begin_, end_ - begin_).startsWith("\xEF\xBB\xBF"))
                begin_ += 3;
        }
        const void* found =
            std::memchr(data + begin_ + scanned, '\n', size_t(end_ - begin_ - scanned));
        qsizetype length = -1;
        qsizetype next = 0;
        if (found) {
            length = static_cast<const char*>(found) - (data + begin_);
            next = begin_ + length + 1;
        } else if (end_ - begin_ >= kMaxRecordBytes) {
            length = kMaxRecordBytes;
            next = begin_ + length;
            tooLong_ = true;
            skipRestOfLine_ = true;
        } else if (sourceDone_) {
            if (begin_ == end_) {
                atEnd = true;
                return {};
            }
            length = end_ - begin_;
            next = end_;
        }
        if (length >= 0) {
            if (!tooLong_ && length > 0 && data[begin_ + length - 1] == '\r')
                --length;
            line = QByteArrayView(data + begin_, length);
            begin_ = next;
            ++lineNumber_;
            return {};
        }
        scanned = end_ - begin_;
        if (Status s = fill(); !s.ok())
            return s;
    }
}
