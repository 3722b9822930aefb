#pragma once

#include <QString>

// A value as a list or a label shows it: one longer than `length` characters
// (far more than anyone reads there, and more than is laid out quickly) is
// cut, with an ellipsis. Only what is shown is cut; the stored value, the
// editor and the exports keep it whole.
QString shortenedForDisplay(const QString& value, qsizetype length);
