#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// The whole content of a file; empty when it cannot be read.
QByteArray readBytes(const QString& path);
// Replaces a file's content; fails the test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);

// Records of comma-separated UTF-8 text as a standard reader sees them:
// fields split at commas, a field in double quotes may hold commas, line
// breaks and doubled quotes, and each record ends with CR LF.
QList<QStringList> parseCsv(const QByteArray& bytes);
