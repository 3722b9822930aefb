#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

QByteArray readBytes(const QString& path);
// Replaces a file's content; fails the test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);

// Records of comma-separated UTF-8 text as a standard reader sees them: a quoted
// field may hold commas, line breaks and doubled quotes; records end with CR LF.
QList<QStringList> parseCsv(const QByteArray& bytes);
