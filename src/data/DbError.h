#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the data layer. Every routine that runs a
// statement catches it and shows its own fixed message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& what, bool fileBusy = false)
        : std::runtime_error(what.toStdString()), m_fileBusy(fileBusy) {}
    // Another connection held the file longer than the busy time-out: the
    // same work may well succeed later.
    bool fileBusy() const { return m_fileBusy; }

private:
    bool m_fileBusy;
};
