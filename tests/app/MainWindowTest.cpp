#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsOnTheDefaultBookWithAnEmptyList() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [Default Contact Book]"));
        QCOMPARE(w.CurrentContactBook(), QStringLiteral("Default"));
        QCOMPARE(w.ConnectionString(),
                 QStringLiteral("DRIVER=Driver do Microsoft Access (*.mdb);DBQ=") +
                     f.folder.path() + QStringLiteral("/contacts.mdb;"));
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.frameCaption(), QString());
        QVERIFY(w.lblStart->isVisible());
        QCOMPARE(w.lblStart->text(),
                 QStringLiteral("Select the \"Personal\" or \"Business\" button to view contacts"));
        QVERIFY(f.doors.boxes.texts().isEmpty());
        QCOMPARE(f.doors.mail.signOns, 1);
        QVERIFY(f.doors.mail.lastLogonUI);
        QVERIFY(!f.doors.mail.lastDownloadMail);
        QCOMPARE(w.MAPIMessages.SessionID, 42L);
    }

    void everyControlAndMenuCarriesItsName() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        const QList<QPair<const char*, const char*>> buttons{
            {"cmdFind", "Last Name Search"}, {"cmdAddRecord", "Add"},     {"cmdEditRecord", "Edit"},
            {"cmdDeleteRecord", "Delete"},   {"cmdPrintRecord", "Print"}, {"cmdCallRecord", "Call"},
            {"cmdEmailRecord", "Email"}};
        for (const auto& [name, caption] : buttons)
            QCOMPARE(w.findChild<QAbstractButton*>(name)->text(), QString::fromUtf8(caption));
        QCOMPARE(w.cmdFind->toolTip(), QStringLiteral("Search Database"));
        const QList<QPair<const char*, const char*>> actions{
            {"createcontactbook", "Manage contact books"},
            {"emailcontactbook", "EMail current contact book"},
            {"mnuPrintContactBook", "Print current contact book"},
            {"mnuExit", "Exit"},
            {"mnuCallHome", "Call at Home number"},
            {"mnuCallWork", "Call at Work number"},
            {"mnuCallCell", "Call at Cell number"},
            {"mnuAbout", "&About"}};
        for (const auto& [name, caption] : actions)
            QCOMPARE(w.findChild<QAction*>(name)->text(), QString::fromUtf8(caption));
        QCOMPARE(w.mnuRootFile->title(), QStringLiteral("&File"));
        QVERIFY(!w.mnuCallMenu->menuAction()->isVisible());
        const QStringList tooltips{"Print Contact", "Add New Contact", "Delete Contact",
                                   "Email Contact", "Call Contact"};
        for (int index = 0; index < 5; ++index)
            QCOMPARE(w.findChild<QToolButton*>(QStringLiteral("Command1_%1").arg(index))->toolTip(),
                     tooltips[index]);
        const QStringList tabs{"Name", "Address", "Contact", "Comments"};
        for (int i = 0; i < tabs.size(); ++i)
            QCOMPARE(w.SSTab1->tabText(i), tabs[i]);
    }

    void pictureButtonsRunTheirButtonsHandlers() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        const QList<QAbstractButton*> targets{w.cmdPrintRecord, w.cmdAddRecord, w.cmdDeleteRecord,
                                              w.cmdEmailRecord, w.cmdCallRecord};
        for (int index = 0; index < 5; ++index) {
            QSignalSpy clicked(targets[index], &QAbstractButton::clicked);
            // Whatever the handler asks is answered No, so nothing changes.
            f.doors.boxes.answerNo();
            f.click(QStringLiteral("Command1_%1").arg(index));
            QCOMPARE(clicked.count(), 1);
            if (w.recordEditor->isVisible())
                emit w.recordEditor->OperationCancelled();
            f.doors.boxes.clear();
        }
    }

    void captionRule() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        w.setWindowCaption(QStringLiteral("Work"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [ Work ]"));
        w.setWindowCaption(QStringLiteral(" "));
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [   ]"));
        w.setWindowCaption(QString());
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [Default Contact Book]"));
    }

    void withoutAMailServiceStartUpSaysSoOnceAndTheRestWorks() {
        MainWindowFixture f;
        f.doors.mail.failSignOn = true;
        f.folder.addContact({QStringLiteral("Ann"), {}, QStringLiteral("Lee")});
        frmContactMgmt& w = f.window();
        QCOMPARE(f.doors.boxes.texts(),
                 QStringList{QStringLiteral("An error occured during initialization.")});
        QCOMPARE(f.doors.boxes.shown().first().icon, platform::Icon::Information);
        QCOMPARE(w.CurrentContactBook(), QStringLiteral("Default"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvanta Contacts [Default Contact Book]"));
        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Ann|Lee")});
        w.close(); // signing off without a session is ignored
        QCOMPARE(f.doors.mail.signOffs, 0);
    }

    void panesReplaceTheMainViewAndShowAllBringsEverythingBack() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));
        QVERIFY(!w.lblStart->isVisible());
        w.enterBookPane();
        QVERIFY(w.frameContactBooks->isVisible());
        QVERIFY(!w.lvContacts->isVisibleTo(&w));
        QVERIFY(!w.cmdAddRecord->isVisibleTo(&w));
        QVERIFY(!w.mnuRootFile->menuAction()->isVisible());
        QVERIFY(!w.mnuAbout->isVisible());
        w.returnToMainView();
        for (QWidget* shown : {static_cast<QWidget*>(w.lvContacts), static_cast<QWidget*>(w.Frame6),
                               static_cast<QWidget*>(w.lblStart), static_cast<QWidget*>(w.SSTab1),
                               static_cast<QWidget*>(w.cmdEmailRecord)})
            QVERIFY(shown->isVisibleTo(&w));
        QVERIFY(w.mnuRootFile->menuAction()->isVisible());
        QVERIFY(!w.frameContactBooks->isVisibleTo(&w));
        QVERIFY(!w.recordEditor->isVisibleTo(&w));
        w.enterEditorPane();
        QVERIFY(w.recordEditor->isVisible());
        QVERIFY(!w.Frame7->isVisibleTo(&w));
    }

    void theListAnswersTheKeyboard() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        QTest::keyClick(w.lvContacts, Qt::Key_Delete);
        QCOMPARE(
            f.doors.boxes.texts(),
            QStringList{QStringLiteral("Are you sure you want to delete the current Record Ann?")});
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 1); // answered No: nothing deleted
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Ann|Lee")});

        const QRect row = w.lvContacts->visualRect(w.lvContacts->model()->index(0, 0));
        QTest::mouseDClick(w.lvContacts->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(w.recordEditor->isVisible());
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtFirstName"))->text(),
                 QStringLiteral("Ann"));
        emit w.recordEditor->OperationCancelled();

        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.txtSearchText->hasFocus());
    }

    void exitSignsOffAndCloses() {
        MainWindowFixture f;
        frmContactMgmt& w = f.window();
        f.trigger(QStringLiteral("mnuExit"));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.doors.mail.signOffs, 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
