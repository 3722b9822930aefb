#pragma once

#include "data/Connection.h"

#include <QStringList>

// The statements the program runs until stop() or its end, so that a check that
// leaves a test early never leaves the observer pointing at a dead list.
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
