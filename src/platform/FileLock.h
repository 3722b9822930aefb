#pragma once

#include <QString>

namespace platform {

// An exclusive advisory lock on a file (created when missing), shared by
// every process of the machine. The system releases it when the holder ends,
// however it ends, so a crash never leaves it taken.
class FileLock {
public:
    explicit FileLock(QString path) : m_path(std::move(path)) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Result { Locked, Busy, Failed };
    // Takes the lock without waiting; Busy: someone else holds it; Failed:
    // the file cannot be opened.
    Result tryLock();
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace platform
