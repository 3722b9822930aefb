#pragma once

#include <QtGlobal>

namespace exchange {

// How long work tells how far it has come, and learns whether to go on.
class Progress {
public:
    virtual ~Progress() = default;
    // Called often (once per contact); false when the user cancelled.
    virtual bool advance(qint64 done, qint64 total) = 0;
};

// Work nobody watches: it always goes on.
class NoProgress : public Progress {
public:
    bool advance(qint64, qint64) override { return true; }
};

} // namespace exchange
