#pragma once

#include <QString>

// The outcome of a record-store operation: success, or the reason it failed
// (with the engine's own message where the engine failed).
class Status {
public:
    Status() = default;
    static Status failure(const QString& message, int engineCode = 0)
    {
        Status s;
        s.ok_ = false;
        s.message_ = message;
        s.engineCode_ = engineCode;
        return s;
    }

    bool ok() const { return ok_; }
    const QString& message() const { return message_; }
    // SQLite's result code when the engine failed, 0 otherwise.
    int engineCode() const { return engineCode_; }

private:
    bool ok_ = true;
    QString message_;
    int engineCode_ = 0;
};
