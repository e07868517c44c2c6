#pragma once

#include <QString>

// The outcome of anything that can fail: success, or the reason it failed in words a
// user understands (with the engine's own code where SQLite failed).
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
