#pragma once

#include "Stopwatch.h"

#include <QString>

#include <cstdio>
#include <functional>

class DavServer;

// One paired row of the report: program and yardstick, pair by pair.
using PairedRow = std::function<void(const QString& operation, int size, const PairedResult& result,
                                     const char* yardstick)>;

// Sync of a linked book with a real CardDAV server of the bench's own on
// 127.0.0.1 holding `size` cards, each sync paired with a bare request of the
// same server; only the rows whose operation `wanted` accepts. Notes beside
// the rows go to `notes`; false when the server does not start or does not
// take the cards.
bool benchSync(DavServer& server, int size, int pairs, const PairedRow& report, FILE* notes,
               const std::function<bool(const QString& operation)>& wanted);
