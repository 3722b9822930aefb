#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

// Another connection's transaction on a database file until release(), as
// another program holds it: "BEGIN IMMEDIATE" keeps out writers, "BEGIN
// EXCLUSIVE" readers too.
class HeldFile {
public:
    explicit HeldFile(const QString& path, const char* begin = "BEGIN IMMEDIATE") {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_held = sqlite3_exec(m_db, begin, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~HeldFile() {
        release();
        sqlite3_close_v2(m_db);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool isHeld() const { return m_held; }
    void release() {
        if (m_held)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_held = false;
    }

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};
