#include "Radicale.h"

#include <QProcess>

bool Radicale::start() {
    const QString key = m_dir.filePath(u"key.pem"_s), config = m_dir.filePath(u"config"_s);
    QString settings = u"[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                       "htpasswd_filename = %2\nhtpasswd_encryption = plain\ndelay = 0\n"
                       "[storage]\nfilesystem_folder = %3\n[rights]\ntype = owner_only\n"
                       "[web]\ntype = none\n[logging]\nlevel = warning\n"_s.arg(port())
                           .arg(m_dir.filePath(u"users"_s), m_dir.filePath(u"collections"_s));
    if (m_tls) {
        QProcess openssl; // its output is only progress
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s,
                                     u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s,
                                     u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s,
                                     key, u"-out"_s, certificateFile()});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
            return fail(u"openssl makes no certificate"_s);
        settings.replace(u"[auth]"_s, u"ssl = True\ncertificate = %1\nkey = %2\n[auth]"_s.arg(
                                          certificateFile(), key));
    }
    for (const auto& [path, text] :
         {std::pair{config, settings},
          {m_dir.filePath(u"users"_s), user() + u':' + password() + u'\n'}}) {
        if (!writeFile(path, text.toUtf8()))
            return fail(u"cannot write "_s + path);
    }
    return launch(u"radicale"_s, {u"--config"_s, config});
}
