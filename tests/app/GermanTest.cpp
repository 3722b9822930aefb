// The program's texts in the user's language, loaded as the program loads
// them at start-up: German for a German locale, as written for English.
#include "app/Translations.h"
#include "app/frmContactMgmt.h"
#include "support/MainWindowFixture.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class GermanTest : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { installTranslations(QLocale(QLocale::English)); }

    void theWindowSpeaksTheLocalesLanguage_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("translated");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("cancelButton");
        // The File menu, its print item, the Add button, the add picture's
        // tooltip, and the message of Delete without a selection.
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << true
                                << QStringList{"&Datei", "Aktuelles Adressbuch &drucken",
                                               "Hinzufügen", "Neuen Kontakt hinzufügen",
                                               "Bitte wählen Sie einen Kontakt zum Löschen aus"}
                                << "Abbrechen";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedKingdom) << false
                                 << QStringList{"&File", "&Print current contact book", "Add",
                                                "Add New Contact",
                                                "Please select a contact to delete"}
                                 << "Cancel";
    }
    void theWindowSpeaksTheLocalesLanguage() {
        QFETCH(QLocale, locale);
        QFETCH(bool, translated);
        QFETCH(QStringList, texts);
        QFETCH(QString, cancelButton);
        QCOMPARE(installTranslations(locale), translated);

        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE((QStringList{w.mnuRootFile->title(), w.mnuPrintContactBook->text(),
                              w.cmdAddRecord->text(), w.Command1[1]->toolTip()} +
                  f.doors.boxes.takeTexts()),
                 texts);

        // Every item of a menu has a mnemonic of its own.
        for (const QList<QAction*>& menu :
             {w.menuBar()->actions(), w.mnuRootFile->actions(), w.mnuCallMenu->actions()}) {
            QString letters;
            for (const QAction* action : menu) {
                if (action->isSeparator())
                    continue;
                const qsizetype at = action->text().indexOf(u'&');
                QVERIFY2(at >= 0, qPrintable(action->text()));
                const QChar letter = action->text().at(at + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
                letters += letter;
            }
        }

        // Qt's own translation comes along, for the standard buttons.
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_de.qm")))
            QSKIP("Qt's German translation is not installed (qt6-translations-l10n)");
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancelButton);
    }
};

QTEST_MAIN(GermanTest)
#include "GermanTest.moc"
