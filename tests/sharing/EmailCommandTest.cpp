#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>

#include <unistd.h>

Q_DECLARE_METATYPE(platform::Buttons)
Q_DECLARE_METATYPE(platform::Answer)

namespace {

const QString question =
    u"Click Yes to send the current contact book\r\nor No to send the selected contacts only"_s;
const QString retrievalError = u"There was an error retrieving data"_s;

void addTwoContacts(ContactFolder& folder) {
    folder.addContact({.firstName = "Ann", .lastName = "Lee"});
    folder.addContact({.firstName = "Bo", .lastName = "Berg"});
}

// First names of the contacts in a CSV text, the header left out.
QStringList firstNames(const QByteArray& csv) {
    QStringList names;
    const QList<QStringList> records = parseCsv(csv);
    for (qsizetype i = 1; i < records.size(); ++i)
        names << records[i].first();
    return names;
}

// A stand-in for xdg-email, first on PATH while it lives: it records its
// arguments (NUL-separated), then exits with the given code.
class FakeXdgEmail {
public:
    explicit FakeXdgEmail(int exitCode) : m_oldPath(qgetenv("PATH")) {
        QFile script(m_dir.filePath(u"xdg-email"_s));
        script.open(QIODevice::WriteOnly);
        script.write(u"#!/bin/sh\n"
                     "printf '%s\\0' \"$@\" > '%1/args'\n"
                     "exit %2\n"_s.arg(m_dir.path())
                         .arg(exitCode)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~FakeXdgEmail() {
        qputenv("PATH", m_oldPath);
        // The program leaves the attachment's folder for the mail program.
        const QStringList args = arguments();
        const qsizetype attach = args.indexOf(u"--attach"_s);
        if (attach < 0 || attach + 1 >= args.size())
            return;
        QDir folder = QFileInfo(args[attach + 1]).dir();
        if (folder.dirName().startsWith(u"orvanta-mail-"_s))
            folder.removeRecursively();
    }
    QStringList arguments() const {
        QStringList args =
            QString::fromUtf8(readBytes(m_dir.filePath(u"args"_s))).split(QChar(u'\0'));
        args.removeLast(); // after the last separator
        return args;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};

} // namespace

class EmailCommandTest : public QObject {
    Q_OBJECT

    static QString attachmentPath(MainWindowFixture& f) {
        return f.folder.path() + u"/attachment.csv"_s;
    }

private slots:
    // The button, its picture button and the menu item ask, then send the
    // whole book on Yes, the selection on No, and nothing without one.
    void yesSendsTheBookAndNoTheSelection() {
        MainWindowFixture f;
        addTwoContacts(f.folder);
        f.window();
        for (const char* button : {"cmdEmailRecord", "Command1_3"}) {
            f.doors.boxes.answerYes();
            f.click(QLatin1String(button));
        }
        f.doors.boxes.answerYes();
        f.trigger("emailcontactbook");
        f.doors.boxes.answerNo();
        f.click("cmdEmailRecord");
        QCOMPARE(f.doors.boxes.takeTexts(),
                 (QStringList{question, question, question, question, retrievalError}));
        f.click("cmdPersonal");
        f.selectRows({1});
        f.doors.boxes.answerNo();
        f.click("cmdEmailRecord");
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{question});

        QCOMPARE(f.doors.mail.sent.size(), 4);
        QStringList sent;
        for (qsizetype i = 0; i < f.doors.mail.sent.size(); ++i)
            sent << firstNames(f.doors.mail.attachmentContents[i]).join(u'+');
        QCOMPARE(sent, (QStringList{"Ann+Bo", "Ann+Bo", "Ann+Bo", "Bo"}));
        const platform::MailMessage& message = f.doors.mail.sent.last();
        QCOMPARE(message.subject, u"Contacts"_s);
        QCOMPARE(message.noteText, u"Please type a personal message here"_s);
        QCOMPARE(message.attachmentPathName, attachmentPath(f));
        QCOMPARE(message.attachmentName, u"Contacts.csv"_s);
        QCOMPARE(f.doors.mail.signOns, 1);
        QCOMPARE(f.doors.boxes.unansweredQuestions(), 0);

        // Escape or closing the question backs out: nothing is written or mailed.
        QVERIFY(QFile::remove(attachmentPath(f)));
        f.doors.boxes.answerCancel();
        f.click("cmdEmailRecord");
        f.doors.boxes.answerCancel();
        f.trigger("emailcontactbook");
        QCOMPARE(f.doors.boxes.texts(), (QStringList{question, question}));
        QCOMPARE(f.doors.boxes.unusedAnswers(), 0);
        QCOMPARE(f.doors.mail.sent.size(), 4);
        QVERIFY(!QFile::exists(attachmentPath(f)));
    }

    // A long export keeps the window answering events; after half a second
    // its progress dialog offers Cancel, which keeps the earlier attachment
    // and sends nothing.
    void aLongExportKeepsTheWindowAliveAndCancelKeepsTheEarlierFile() {
        MainWindowFixture f;
        for (int i = 0; i < 200; ++i)
            f.folder.addContact({.firstName = u"N%1"_s.arg(i)});
        writeFile(attachmentPath(f), "earlier");
        f.window();
        int ticks = 0;
        bool sawDialog = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 1)
                QThread::msleep(600); // long enough for the dialog to be due
            auto* dialog = f.window().findChild<QProgressDialog*>(u"longWorkProgress"_s);
            if (dialog && dialog->isVisible()) {
                sawDialog = true;
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        timer.start(0);
        f.doors.boxes.answerYes();
        f.trigger(u"emailcontactbook"_s);
        timer.stop();
        QVERIFY(ticks > 0);
        QVERIFY(sawDialog);
        QCOMPARE(readBytes(attachmentPath(f)), QByteArray("earlier"));
        QVERIFY(f.doors.mail.sent.isEmpty());
        QCOMPARE(f.doors.boxes.texts(), (QStringList{question})); // a cancel is no failure
    }

    // The real message box: on the e-mail question Escape and the close
    // button answer Cancel and no Cancel button shows; on a plain Yes/No
    // question they answer No.
    void theRealBoxAnswersEscapeAndClose_data() {
        QTest::addColumn<platform::Buttons>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<platform::Answer>("answer");
        using platform::Answer;
        using platform::Buttons;
        QTest::newRow("escape") << Buttons::YesNoCancel << "Escape" << Answer::Cancel;
        QTest::newRow("close") << Buttons::YesNoCancel << "close" << Answer::Cancel;
        QTest::newRow("enter") << Buttons::YesNoCancel << "Return" << Answer::Yes;
        QTest::newRow("no button") << Buttons::YesNoCancel << "No" << Answer::No;
        QTest::newRow("yes/no escape") << Buttons::YesNo << "Escape" << Answer::No;
        QTest::newRow("yes/no close") << Buttons::YesNo << "close" << Answer::No;
    }
    void theRealBoxAnswersEscapeAndClose() {
        QFETCH(platform::Buttons, buttons);
        QFETCH(QString, action);
        QFETCH(platform::Answer, answer);
        QList<QMessageBox::StandardButton> shownButtons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* button : box->buttons())
                if (button->isVisible())
                    shownButtons << box->standardButton(button);
            if (action == QLatin1String("close"))
                box->close();
            else if (action == QLatin1String("No") && box->button(QMessageBox::No))
                box->button(QMessageBox::No)->click();
            else
                QTest::keyClick(box, action == QLatin1String("Escape") ? Qt::Key_Escape
                                                                       : Qt::Key_Return);
        });
        const platform::Answer given =
            platform::messageBoxes().show({question, buttons, platform::Icon::Question});
        std::sort(shownButtons.begin(), shownButtons.end());
        QCOMPARE(shownButtons,
                 (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No}));
        QCOMPARE(given, answer);
    }

    void mailFailuresEndSilentlyAndKeepTheFile() {
        MainWindowFixture f;
        addTwoContacts(f.folder);
        f.doors.mail.failSend = true; // the user cancels in the mail window
        f.window();
        f.doors.boxes.answerYes();
        f.click("cmdEmailRecord");
        QCOMPARE(f.doors.boxes.texts(), QStringList{question});
        QCOMPARE(f.doors.mail.sent.size(), 1);
        QCOMPARE(firstNames(readBytes(attachmentPath(f))), (QStringList{"Ann", "Bo"}));

        MainWindowFixture noSession;
        noSession.doors.mail.failSignOn = true;
        noSession.window();
        noSession.doors.boxes.clear();
        noSession.doors.boxes.answerYes();
        noSession.trigger("emailcontactbook");
        QCOMPARE(noSession.doors.boxes.texts(), QStringList{question});
        QVERIFY(noSession.doors.mail.sent.isEmpty());
        QVERIFY(readBytes(attachmentPath(noSession)).startsWith("FirstName,"));
    }

    // The real door runs xdg-email with a copy of the file, which stays, in
    // a folder only this user may enter, until the next send or the next
    // start; then it goes, with any the program left before. A failed send
    // leaves no copy. Nothing else in the runtime folder is touched.
    void copiesForTheMailProgramLastUntilTheNextSendOrStart() {
        QTemporaryDir runtime;
        QTemporaryDir outside;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", oldRuntime); });
        QDir base(runtime.path());
        QVERIFY(base.mkpath("orvanta-mail-earlier/sub"));
        writeFile(base.filePath("orvanta-mail-earlier/Contacts.csv"), "old");
        QVERIFY(base.mkdir("other"));
        writeFile(outside.filePath("keep.csv"), "keep");
        QVERIFY(QFile::link(outside.path(), base.filePath("orvanta-mail-link")));
        const bool root = ::geteuid() == 0; // only root can make a folder of another user
        if (root) {
            QVERIFY(base.mkdir("orvanta-mail-foreign"));
            QCOMPARE(
                ::chown(QFile::encodeName(base.filePath("orvanta-mail-foreign")), 65534, 65534), 0);
        }
        QStringList kept{"orvanta-mail-link", "other"};
        if (root)
            kept.prepend("orvanta-mail-foreign");
        const auto entries = [&] {
            QStringList names =
                base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
            names.sort();
            return names;
        };

        FakeXdgEmail xdgEmail(0);
        MainWindowFixture f;
        addTwoContacts(f.folder);
        platform::setMailService(nullptr);
        f.window();
        QCOMPARE(entries(), kept); // the start removed the earlier copy

        QStringList copies;
        for (int send = 0; send < 2; ++send) {
            f.doors.boxes.answerYes();
            f.click("cmdEmailRecord");
            const QStringList args = xdgEmail.arguments();
            QCOMPARE(args.mid(0, 5),
                     (QStringList{"--subject", "Contacts", "--body",
                                  "Please type a personal message here", "--attach"}));
            QCOMPARE(QFileInfo(args.value(5)).fileName(), u"Contacts.csv"_s);
            copies << args[5];
            const QFileInfo folder(QFileInfo(copies.last()).path());
            QCOMPARE(folder.dir().path(), runtime.path());
            QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(readBytes(copies.last()), readBytes(attachmentPath(f)));
            QStringList expected = QStringList(kept) << folder.fileName();
            expected.sort();
            QCOMPARE(entries(), expected);
        }
        QVERIFY(!QFile::exists(copies[0]));
        {
            FakeXdgEmail failing(3);
            f.doors.boxes.answerYes();
            f.click("cmdEmailRecord");
            QCOMPARE(failing.arguments().size(), 6);
            QCOMPARE(entries(), kept);
        }
        QCOMPARE(f.doors.boxes.texts(), QStringList(3, question));

        MainWindowFixture next;
        platform::setMailService(nullptr);
        next.window();
        QCOMPARE(entries(), kept);
        QCOMPARE(readBytes(outside.filePath("keep.csv")), QByteArray("keep"));
    }
};

QTEST_MAIN(EmailCommandTest)
#include "EmailCommandTest.moc"
