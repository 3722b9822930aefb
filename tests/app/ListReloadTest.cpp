// The list is read off the window's thread: Cancel leaves the window as it
// was, and a sort asked meanwhile applies to the list that arrives.
#include "contacts/ListReload.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "contacts/ctrTypeFilter.h"
#include "platform/Background.h"
#include "support/HeldFile.h"
#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QProgressDialog>

namespace {

// A click that does not wait for the work it starts.
void press(frmContactMgmt& window, const QString& name) {
    window.findChild<QAbstractButton*>(name)->click();
}

} // namespace

class ListReloadTest : public QObject {
    Q_OBJECT
private slots:
    // Personal is shown; Business is clicked while the file is locked, and
    // Cancel pressed in the progress that shows: the list, the details, the
    // heading and the strip stay Personal's. Which of two clicks wins is
    // checked on the background helper itself.
    void cancelKeepsTheList() {
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee", .type = 1});
        f.folder.addContact({.firstName = "Bob", .lastName = "Ray", .type = 2});
        frmContactMgmt& w = f.window();
        f.click(u"cmdPersonal"_s);
        HeldFile lock(f.folder.databasePath(), "BEGIN EXCLUSIVE");
        QVERIFY(lock.isHeld());
        press(w, u"cmdBusiness"_s);
        QProgressDialog* progress = nullptr;
        QTRY_VERIFY((progress = w.findChild<QProgressDialog*>(u"longWorkProgress"_s)) &&
                    progress->isVisible());
        QTest::mouseClick(progress->findChild<QAbstractButton*>(), Qt::LeftButton);
        QVERIFY(!w.background().pending());
        lock.release();
        w.background().waitForWorkers();
        QCoreApplication::processEvents();
        QCOMPARE(f.listed(), QStringList{u"Ann|Lee"_s});
        QCOMPARE(details(w)->txtFName->text(), u"Ann"_s);
        QCOMPARE(f.frameCaption(), u"Viewing PERSONAL Contacts"_s);
        QCOMPARE(child<ctrTypeFilter>(w, u"ctrTypeFilter1"_s)->CurrentTypeFilter,
                 TypeFilter::Personal);
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList());
        f.click(u"cmdBusiness"_s); // the next click lists again
        QCOMPARE(f.listed(), QStringList{u"Bob|Ray"_s});
    }

    // A read the file's lock refuses is a failure, not an empty list.
    void aRefusedReadIsAFailure() {
        ContactFolder folder;
        folder.addContact({.firstName = "Ann"});
        HeldFile lock(folder.databasePath(), "BEGIN EXCLUSIVE");
        const std::atomic<bool> stop = false;
        const ListReload r = readContactList(ContactStore(folder.connectionString()),
                                             TypeFilter::Both, u"%"_s, 0, Qt::AscendingOrder, stop);
        QVERIFY(r.failed && !r.names);
    }

    // A header click while a reload runs: the reload's list arrives in the
    // new order rather than being dropped for the sort.
    void aHeaderClickDuringAReloadSortsItsResult() {
        MainWindowFixture f;
        for (const char* last : {"Ray", "Lee", "Moss"})
            f.folder.addContact({.firstName = "A", .lastName = QString::fromLatin1(last)});
        frmContactMgmt& w = f.window();
        HeldFile lock(f.folder.databasePath(), "BEGIN EXCLUSIVE");
        QVERIFY(lock.isHeld());
        press(w, u"cmdPersonal"_s);
        QHeaderView* header = contactList(w)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(1) + 5, header->height() / 2});
        QVERIFY(w.background().pending());
        lock.release();
        QCOMPARE(f.listed(), (QStringList{u"A|Lee"_s, u"A|Moss"_s, u"A|Ray"_s}));
        QCOMPARE(details(w)->txtLName->text(), u"Ray"_s);
    }
};

QTEST_MAIN(ListReloadTest)
#include "ListReloadTest.moc"
