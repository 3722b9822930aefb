#pragma once

#include <QString>

#include <functional>
#include <vector>

// One row of the stall report: the longest stretch without the window's
// event loop running, per run of the operation, in milliseconds.
using ReportStalls =
    std::function<void(const QString& operation, int size, const std::vector<double>& longestMs)>;

// Drives the real window on a book of `size` contacts through the list
// operations, the editor and the book pane, `runs` times each, and reports
// for each the longest time its event loop did not run while the operation
// ran to completion.
void benchStalls(int size, int runs, const ReportStalls& report);
