#pragma once

#include "data/Connection.h"

#include <QStringList>

// Collects the statement texts the program runs, from its creation until
// stop() or its end, whichever comes first; a failed check that leaves a test
// early never leaves the observer pointing at a dead list.
struct StatementLog {
    QStringList texts;
    StatementLog() {
        Connection::setStatementObserver([this](const QString& s) { texts << s; });
    }
    ~StatementLog() { Connection::setStatementObserver({}); }
    QStringList stop() {
        Connection::setStatementObserver({});
        return texts;
    }
};
