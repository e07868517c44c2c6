#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

// Where the readers' bytes come from: a plain file, a gzip-compressed one, or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills `buffer` with up to `capacity` bytes; `got` is 0 at the end of the data.
    virtual Status read(char* buffer, qsizetype capacity, qsizetype& got) = 0;
    // How many bytes to read at a time at first.
    virtual qsizetype blockSize() const { return 1024 * 1024; }
};

// Opens `path` for reading, through zlib when `compressed`.
Status openFileSource(const QString& path, bool compressed, std::unique_ptr<ByteSource>& out);
std::unique_ptr<ByteSource> memorySource(const QByteArray& bytes);

// The longest record the readers hold; a longer one is cut short and reported, so a file
// without record ends cannot fill the memory.
constexpr qsizetype kMaxRecordBytes = 16 * 1024 * 1024;
// The longest text field a record may carry.
constexpr qsizetype kMaxFieldCharacters = 65536;

// What is wrong with a piece of text as bytes: nothing, a NUL byte, or not UTF-8.
enum class TextFault { None, Nul, NotUtf8 };
TextFault textFault(QByteArrayView bytes);
// The record fault messages the readers share.
QString textFaultMessage(TextFault fault);
QString fieldTooLongMessage();
QString recordTooLongMessage();

// Splits a byte source into lines, read in large blocks. A line ends at LF (a CR before it
// is dropped); a UTF-8 byte order mark at the very start is dropped. A line longer than
// kMaxRecordBytes comes back cut to that length with tooLong() set, and the rest of it is
// skipped.
class LineReader {
public:
    explicit LineReader(std::unique_ptr<ByteSource> source);

    // The next line, valid until the next call; atEnd once the data is done.
    Status next(QByteArrayView& line, bool& atEnd);
    // The number of the line next() gave last, from 1.
    long long lineNumber() const { return lineNumber_; }
    bool tooLong() const { return tooLong_; }

private:
    Status fill();

    std::unique_ptr<ByteSource> source_;
    QByteArray buffer_;
    qsizetype begin_ = 0;
    qsizetype end_ = 0;
    bool sourceDone_ = false;
    bool skipRestOfLine_ = false;
    bool started_ = false;
    bool tooLong_ = false;
    long long lineNumber_ = 0;
};
