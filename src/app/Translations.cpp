#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

QPointer<QTranslator> programTranslator;
QPointer<QTranslator> qtTranslator;

void removeInstalled() {
    for (QPointer<QTranslator>* installed : {&programTranslator, &qtTranslator}) {
        if (*installed) {
            QCoreApplication::removeTranslator(*installed);
            delete installed->data();
        }
    }
}

// A translator of `name` for `language` ("de-DE"), or null when there is none;
// QTranslator::load falls back from "de_DE" to "de".
QTranslator* loaded(const QString& name, QString language, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(name + u'_' + language.replace(u'-', u'_'), folder))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace

bool installTranslations(const QLocale& locale) {
    removeInstalled();
    for (const QString& language : locale.uiLanguages()) {
        if (QLocale(language).language() == QLocale::English)
            return false;
        programTranslator =
            loaded(QStringLiteral("orvanta-contacts"), language, QStringLiteral(":/i18n"));
        if (!programTranslator)
            continue;
        QCoreApplication::installTranslator(programTranslator);
        qtTranslator = loaded(QStringLiteral("qtbase"), language,
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (qtTranslator)
            QCoreApplication::installTranslator(qtTranslator);
        return true;
    }
    return false;
}
