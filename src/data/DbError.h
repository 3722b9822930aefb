#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the data layer. Every routine that runs a
// statement catches it and shows its own fixed message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& what) : std::runtime_error(what.toStdString()) {}
};
