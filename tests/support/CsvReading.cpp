#include "support/CsvReading.h"

#include <QFile>
#include <QTest>

#include <utility>

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QList<QStringList> parseCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QStringView rest = QStringView(text).sliced(i);
        if (quoted && rest.startsWith(u"\"\"")) {
            field += text[++i]; // a doubled quote inside quotes
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (quoted || (c != u',' && !rest.startsWith(u"\r\n"))) {
            field += c;
        } else {
            record << std::exchange(field, QString());
            if (c == u'\r') {
                records << std::exchange(record, QStringList());
                ++i;
            }
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field); // a last record without its line end
    return records;
}
