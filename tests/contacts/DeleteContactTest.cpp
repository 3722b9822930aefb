#include "app/frmContactMgmt.h"
#include "contacts/ContactListView.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

class DeleteContactTest : public QObject {
    Q_OBJECT

private slots:
    void editAndDeleteWithNothingSelectedOnlySaySo() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Kim")});
        f.click(QStringLiteral("cmdPersonal"));
        f.click(QStringLiteral("cmdEditRecord"));
        f.click(QStringLiteral("cmdDeleteRecord"));
        const auto& shown = f.doors.boxes.shown();
        QCOMPARE(f.doors.boxes.texts(), (QStringList{"Please select a contact to edit",
                                                     "Please select a contact to delete"}));
        for (const platform::Message& m : shown) {
            QCOMPARE(m.icon, platform::Icon::Exclamation);
            QCOMPARE(m.buttons, platform::Buttons::Ok);
            QCOMPARE(m.title, QString());
        }
        QVERIFY(!f.window().recordEditor->isVisible());
        QVERIFY(f.window().cmdEditRecord->isVisible());
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 1);
    }

    void answeringNoChangesNothing() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Kim"), {}, QStringLiteral("Ray")});
        f.folder.addContact({QStringLiteral("Lou"), {}, QStringLiteral("Ray")});
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        f.doors.boxes.answerNo();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.shown().size(), 1);
        QCOMPARE(f.doors.boxes.shown().first().buttons, platform::Buttons::YesNo);
        QCOMPARE(f.doors.boxes.shown().first().icon, platform::Icon::Question);
        QCOMPARE(f.folder.count(QStringLiteral("tblContactDetails")), 2);
        QCOMPARE(f.listed(), (QStringList{"Kim|Ray", "Lou|Ray"}));
        QCOMPARE(f.window().lvContacts->selectedRow(), 0);
    }

    void deletingOneOfASelectionListsThePersonalContacts() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Pia"), {}, QStringLiteral("Ray")});
        f.folder.addContact({QStringLiteral("Bea"),
                             {},
                             QStringLiteral("Ray"),
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             {},
                             2});
        const qint64 keep = f.folder.addContact({QStringLiteral("Cy"),
                                                 {},
                                                 QStringLiteral("Ray"),
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 {},
                                                 2});
        f.click(QStringLiteral("cmdBusiness"));
        f.selectRows({1, 0}); // the current entry, Bea, is the one deleted
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{"Are you sure you want to delete the current Record Bea?",
                              "Record Deleted successfully"}));
        QCOMPARE(f.doors.boxes.shown().last().icon, platform::Icon::Information);
        QCOMPARE(f.folder.rows(QStringLiteral("select pkContactDetailsId from tblContactDetails "
                                              "where fkContactType = 2")),
                 QStringList{QString::number(keep)});
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Pia|Ray")});
        QCOMPARE(f.frameCaption(), QStringLiteral("Viewing BUSINESS Contacts"));
    }

    void aMissingDatabaseStillAsksThenSaysItCouldNotDelete() {
        MainWindowFixture f;
        f.folder.addContact({QStringLiteral("Kim")});
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(0);
        QVERIFY(QFile::rename(f.folder.databasePath(), f.folder.databasePath() + ".away"));
        f.doors.boxes.answerYes();
        f.click(QStringLiteral("cmdDeleteRecord"));
        QCOMPARE(f.doors.boxes.texts(),
                 (QStringList{"Are you sure you want to delete the current Record Kim?",
                              "Record could not be deleted"}));
        QCOMPARE(f.listed(), QStringList{QStringLiteral("Kim|")});
        QVERIFY(!QFile::exists(f.folder.databasePath()));
    }
};

QTEST_MAIN(DeleteContactTest)
#include "DeleteContactTest.moc"
