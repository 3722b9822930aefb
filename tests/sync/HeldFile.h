#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

// Another connection's write transaction on a database file, open until the
// object goes: what an import or another program holds while it writes.
class HeldFile {
public:
    explicit HeldFile(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_held = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~HeldFile() {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool isHeld() const { return m_held; }

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};
