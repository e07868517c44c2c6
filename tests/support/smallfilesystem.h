#pragma once

#include <QString>

// A small tmpfs mounted over a folder for as long as this lives, so a test can fill a disk.
// Only root may mount one; unavailable() then says why there is none.
class SmallFileSystem {
public:
    SmallFileSystem(const QString& folder, int kilobytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    QString unavailable() const { return unavailable_; }
    // Writes `filler` until the file system has not a byte left.
    static void fillUp(const QString& filler);

private:
    QString folder_;
    QString unavailable_;
};
