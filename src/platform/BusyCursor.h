#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace platform {

// The busy cursor over the program's windows while it lives, for work on
// the window's thread that a large book makes last noticeably. A message
// box must not be shown under it: end its scope first.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace platform
