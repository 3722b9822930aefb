#pragma once

#include <QtGlobal>

namespace platform {

// How long work tells how far it has come, and learns whether to go on.
class Progress {
public:
    virtual ~Progress() = default;
    // Called often (once per item); `total` is 0 when not known beforehand.
    // False when the user cancelled.
    virtual bool advance(qint64 done, qint64 total) = 0;
};

// Work nobody watches: it always goes on.
class NoProgress : public Progress {
public:
    bool advance(qint64, qint64) override { return true; }
};

} // namespace platform
