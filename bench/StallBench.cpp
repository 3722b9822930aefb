#include "StallBench.h"

#include "BookGenerator.h"

#include "app/Startup.h"
#include "app/frmContactMgmt.h"
#include "contacts/ContactListView.h"
#include "data/ConnectionString.h"
#include "platform/Background.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// Every question is answered Yes, every message acknowledged at once.
class AnsweringYes : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::Message& m) override {
        return m.buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
    }
};

// A timer on the window's thread that fires whenever its event loop runs,
// at most once a millisecond: the longest gap between two firings is the
// longest stall.
class StallMeter {
public:
    explicit StallMeter(const std::function<bool()>& finished) : m_finished(finished) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }

    // Runs `operation` from inside the event loop and keeps the loop going
    // until it has returned and `finished` holds, and one more turn of the
    // loop has painted what it brought.
    double longestMs(const std::function<void()>& operation) {
        m_started = false;
        m_turnsAfter = 0;
        m_longestNs = 0;
        m_clock.start();
        m_lastNs = 0;
        m_timer.start();
        QTimer::singleShot(0, &m_loop, [&] {
            operation();
            m_started = true;
        });
        m_loop.exec();
        m_timer.stop();
        return double(m_longestNs) / 1e6;
    }

private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestNs = std::max(m_longestNs, now - m_lastNs);
        m_lastNs = now;
        if (m_started && m_finished() && ++m_turnsAfter == 2)
            m_loop.quit();
    }

    std::function<bool()> m_finished;
    QTimer m_timer;
    QEventLoop m_loop;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    bool m_started = false;
    int m_turnsAfter = 0;
};

void settle(frmContactMgmt& window) {
    while (window.background().pending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

void press(frmContactMgmt& window, const char* name) {
    window.findChild<QAbstractButton*>(QLatin1String(name))->click();
}

ContactListView* contactList(frmContactMgmt& window) {
    return window.findChild<ContactListView*>(QStringLiteral("lvContacts"));
}

void clickHeader(frmContactMgmt& window, int column) {
    QHeaderView* header = contactList(window)->header();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void selectFirst(frmContactMgmt& window) {
    ContactListView* list = contactList(window);
    list->setCurrentIndex(list->model()->index(0, 0));
}

struct Operation {
    QString name;
    std::function<void()> setup; // untimed, before each run
    std::function<void()> run;
};

} // namespace

void benchStalls(int size, int runs, const ReportStalls& report) {
    QTemporaryDir folder;
    generateBook(databasePathIn(folder.path()), size);
    prepareDataFolder(folder.path());
    AnsweringYes answers;
    platform::setMessageBoxes(&answers);
    {
        frmContactMgmt window(folder.path());
        window.load();
        window.show();
        settle(window);
        auto* search = window.findChild<QLineEdit*>(QStringLiteral("txtSearchText"));
        auto firstName = [&] {
            return window.findChild<QLineEdit*>(QStringLiteral("txtFirstName"));
        };
        auto lastName = [&] { return window.findChild<QLineEdit*>(QStringLiteral("txtLastName")); };
        auto unsorted = [&] {
            QHeaderView* header = contactList(window)->header();
            header->setSortIndicator(-1, Qt::AscendingOrder);
            settle(window);
        };
        const std::vector<Operation> operations{
            {QStringLiteral("Personal button"), [&] { press(window, "cmdAll"); },
             [&] { press(window, "cmdPersonal"); }},
            {QStringLiteral("Business button"), [&] { press(window, "cmdAll"); },
             [&] { press(window, "cmdBusiness"); }},
            {QStringLiteral("letter M"), [&] { press(window, "cmdPersonal"); },
             [&] { press(window, "cmdA_12"); }},
            {QStringLiteral("ALL"), [&] { press(window, "cmdA_12"); },
             [&] { press(window, "cmdAll"); }},
            {QStringLiteral("search \"Mül\""), [&] { search->setText(QStringLiteral("Mül")); },
             [&] { press(window, "cmdFind"); }},
            {QStringLiteral("first click on a column header"),
             [&] {
                 press(window, "cmdAll");
                 settle(window);
                 unsorted();
             },
             [&] { clickHeader(window, 1); }},
            {QStringLiteral("ALL, sorted by last name"), [&] { press(window, "cmdA_12"); },
             [&] { press(window, "cmdAll"); }},
            {QStringLiteral("Add"), [&] { window.returnToMainView(); },
             [&] { press(window, "cmdAddRecord"); }},
            {QStringLiteral("Save a new contact"),
             [&] {
                 press(window, "cmdAddRecord");
                 firstName()->setText(QStringLiteral("Stall"));
                 lastName()->setText(QStringLiteral("Meter"));
             },
             [&] { press(window, "cmdSave"); }},
            {QStringLiteral("Edit"),
             [&] {
                 window.returnToMainView();
                 selectFirst(window);
             },
             [&] { press(window, "cmdEditRecord"); }},
            {QStringLiteral("Save an edited contact"),
             [&] {
                 window.returnToMainView();
                 selectFirst(window);
                 press(window, "cmdEditRecord");
                 firstName()->setText(firstName()->text() + QStringLiteral("x"));
             },
             [&] { press(window, "cmdSave"); }},
            {QStringLiteral("Delete"),
             [&] {
                 window.returnToMainView();
                 selectFirst(window);
             },
             [&] { press(window, "cmdDeleteRecord"); }},
            {QStringLiteral("opening the book pane"), [&] { window.returnToMainView(); },
             [&] { window.findChild<QAction*>(QStringLiteral("createcontactbook"))->trigger(); }},
        };
        StallMeter meter([&] { return !window.background().pending(); });
        for (const Operation& operation : operations) {
            std::vector<double> longest;
            for (int i = 0; i < runs; ++i) {
                operation.setup();
                settle(window);
                longest.push_back(meter.longestMs(operation.run));
            }
            report(QStringLiteral("stall: ") + operation.name, size, longest);
        }
        window.returnToMainView();
    }
    platform::setMessageBoxes(nullptr);
}
