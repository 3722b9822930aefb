#pragma once

#include "data/ContactStore.h"
#include "platform/Progress.h"
#include "support/ContactFolder.h"
#include "vcard/VCardTesting.h"

#include <QFileInfo>
#include <QProcess>

// A folder with a new database and a store on its "Default" book.
struct StoreFolder {
    ContactFolder folder;
    ContactStore store{folder.connectionString()};
    StoreFolder() { store.setCurrentBook(u"Default"_s); }
    // The current book's contacts, described(), in id order.
    QStringList contacts() const {
        QStringList lines;
        store.readContacts({}, [&](const Contact& c) {
            lines << described(c);
            return true;
        });
        return lines;
    }
    QString file(const QString& name) const { return folder.path() + u'/' + name; }
};

// Answers "go on" `calls` times, then "cancel".
class CancelAfter : public platform::Progress {
public:
    explicit CancelAfter(int calls) : m_left(calls) {}
    bool advance(qint64, qint64) override { return m_left-- > 0; }

private:
    int m_left;
};

// Runs the vobject script of the format tests; its standard output.
inline QByteArray runVobject(const QStringList& arguments) {
    QProcess python;
    const QString script =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + u"/../vcard/vobject_roundtrip.py"_s;
    python.start(u"/usr/bin/python3"_s, QStringList{script} + arguments);
    python.waitForFinished(120000);
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        qWarning().noquote() << python.readAllStandardError();
    return python.exitCode() == 0 ? python.readAllStandardOutput() : QByteArray("failed");
}
