#include "Xandikos.h"

#include <QProcess>

bool Xandikos::start() {
    return launch(u"xandikos"_s,
                  {u"--directory"_s, storageFolder(), u"--autocreate"_s,
                   u"--current-user-principal"_s, u'/' + user() + u'/', u"--listen-address"_s,
                   u"127.0.0.1"_s, u"--port"_s, QString::number(port())},
                  m_dir.filePath(u"server.log"_s));
}

QUrl Xandikos::addressBookUrl(const QString& name) const {
    return root().resolved(QUrl(user() + u"/contacts/"_s + name + u'/'));
}

// Xandikos lists what the repository's index holds: the files are written
// into its work tree and added to the index in one go.
bool Xandikos::placeCards(const QString& book, const QList<std::pair<QString, QByteArray>>& cards) {
    const QString folder = storageFolder() + u'/' + user() + u"/contacts/"_s + book + u'/';
    for (const auto& [file, text] : cards)
        if (!writeFile(folder + file, text))
            return fail(u"cannot write "_s + folder + file);
    QProcess git;
    git.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    git.start(u"git"_s, {u"-C"_s, folder, u"add"_s, u"--all"_s});
    if (!git.waitForFinished(600000) || git.exitStatus() != QProcess::NormalExit ||
        git.exitCode() != 0)
        return fail(u"git does not add the cards in "_s + folder);
    return true;
}
