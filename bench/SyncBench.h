#pragma once

#include <QString>

#include <functional>

// One row of the report: the program's median, and the yardstick's (0: none).
using ReportRow = std::function<void(const QString& operation, int size, double ms,
                                     double yardstickMs, const char* yardstick)>;

// Sync of a linked book with a real CardDAV server (Radicale on 127.0.0.1)
// holding `size` cards, each sync beside one addressbook-multiget of the same
// cards. `runs` syncs per row; false when the server does not start.
bool benchSync(int size, int runs, const ReportRow& report);
