#include "Xandikos.h"

#include <QProcess>

bool Xandikos::start() {
    return launch(u"xandikos"_s,
                  {u"--directory"_s, storageFolder(), u"--autocreate"_s,
                   u"--current-user-principal"_s, u'/' + user() + u'/', u"--listen-address"_s,
                   u"127.0.0.1"_s, u"--port"_s, QString::number(port())});
}

bool Xandikos::takeFiles(const QString& folder) {
    QProcess git;
    git.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    git.start(u"git"_s, {u"-C"_s, folder, u"add"_s, u"--all"_s});
    if (!git.waitForFinished(600000) || git.exitStatus() != QProcess::NormalExit ||
        git.exitCode() != 0)
        return fail(u"git does not add the cards in "_s + folder);
    return true;
}
