#pragma once

class QLocale;

// Installs the translations for the languages of `locale` (the program's
// own, embedded under :/i18n, and Qt's, so that standard buttons match),
// replacing those of an earlier call. The texts are written in English: when
// English comes before any language the program is translated into, nothing
// is installed. True when a translation of the program was installed.
bool installTranslations(const QLocale& locale);
