#include "about/frmAbout.h"
#include "app/frmContactMgmt.h"
#include "support/DesktopDoubles.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString systemInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString sharedToolsKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");

QList<frmAbout*> openBoxes() {
    QList<frmAbout*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<frmAbout*>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

frmAbout* openAbout(MainWindowFixture& f) {
    f.trigger("mnuAbout");
    const QList<frmAbout*> boxes = openBoxes();
    return boxes.size() == 1 ? boxes[0] : nullptr;
}

void clickSysInfo(frmAbout* box) {
    QTest::mouseClick(box->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
}

void removeClosedBoxes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void showsTitleVersionAndPlatformAtTheirPlaces() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* box = openAbout(f);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("About Orvanta Contacts"));
        QCOMPARE(box->lblTitle->text(), QStringLiteral("Orvanta Contacts"));
        QCOMPARE(box->lblVersion->text(), QStringLiteral("Version 1.0.8"));
        const QStringList description = box->lblDescription->text().split('\n');
        QCOMPARE(description.size(), 4);
        QCOMPARE(description[0], "Linux desktop (Qt " + QString::fromLatin1(qVersion()) + ")");
        QCOMPARE(description[1], QString());
        QVERIFY(description[2].contains("Orvanta"));

        // Twips at 15 to the pixel.
        QCOMPARE(box->size(), QSize(400, 298));
        QCOMPARE(box->picIcon->geometry(), QRect(8, 8, 104, 112));
        QCOMPARE(box->lblEmail->geometry(), QRect(268, 136, 123, 32));
        QCOMPARE(box->lblDisclaimer->geometry(), QRect(8, 200, 381, 63));
        QCOMPARE(box->cmdOK->geometry(), QRect(8, 268, 180, 23));
        QCOMPARE(box->cmdSysInfo->geometry(), QRect(208, 268, 185, 23));
        QCOMPARE(box->cmdSysInfo->text(), QStringLiteral("&System Info..."));

        // Without an owner, and the main window stays usable.
        QVERIFY(!box->parentWidget());
        QVERIFY(!box->isModal());
        QVERIFY(f.window().isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The link is the label's caption as it stands when it is clicked.
    void linksHandTheCaptionToTheShell() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* box = openAbout(f);
        QVERIFY(box);
        QCOMPARE(box->lblEmail->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(box->lblWebsite->font().underline());
        QTest::mouseClick(box->lblEmail, Qt::LeftButton);
        QTest::mouseClick(box->lblWebsite, Qt::LeftButton);
        box->lblEmail->setText("a.b@c.example");
        QTest::mouseClick(box->lblEmail, Qt::LeftButton);
        QCOMPARE(shell.openedUrls,
                 (QStringList{"mailto:support@orvanta.example", "http://www.orvanta.example",
                              "mailto:a.b@c.example"}));
        QVERIFY(f.doors.boxes.shown().isEmpty());
    }

    // The shell double refuses write rights on its keys, like the machine-wide
    // keys of an ordinary user: the viewer is found because keys are only read.
    void theViewerEntryIsStartedAsItStands() {
        MainWindowFixture f;
        FakeShell shell;
        shell.setRegistryString(systemInfoKey, "PATH", "/no/such/viewer");
        shell.setRegistryString(sharedToolsKey, "MSINFO", "/opt/tools");
        shell.existingFiles << "/opt/tools/MSINFO32.EXE";
        frmAbout* box = openAbout(f);
        clickSysInfo(box);
        QCOMPARE(shell.startedPrograms, QStringList{"/no/such/viewer"});
        QVERIFY(shell.testedFiles.isEmpty());
        QVERIFY(f.doors.boxes.shown().isEmpty());
        QVERIFY(box->isVisible());

        // A start that fails is reported, and the other entry is not tried.
        shell.failStart = true;
        clickSysInfo(box);
        QCOMPARE(f.doors.boxes.texts(), QStringList{unavailable});
        const platform::Message& shown = f.doors.boxes.shown()[0];
        QCOMPARE(shown.icon, platform::Icon::None);
        QCOMPARE(shown.buttons, platform::Buttons::Ok);
        QCOMPARE(shown.title, QString());
        QVERIFY(shell.testedFiles.isEmpty());
        QVERIFY(box->isVisible());
    }

    void theSharedToolsFolderIsUsedWhenItHoldsTheViewer() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* box = openAbout(f);
        clickSysInfo(box); // no entry at all
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});

        shell.setRegistryString(sharedToolsKey, "MSINFO", "/opt/tools");
        clickSysInfo(box);
        QCOMPARE(shell.testedFiles, QStringList{"/opt/tools/MSINFO32.EXE"});
        QVERIFY(shell.startedPrograms.isEmpty());
        QCOMPARE(f.doors.boxes.takeTexts(), QStringList{unavailable});

        shell.existingFiles << "/opt/tools/MSINFO32.EXE";
        clickSysInfo(box);
        QCOMPARE(shell.startedPrograms, QStringList{"/opt/tools/MSINFO32.EXE"});
        QVERIFY(f.doors.boxes.shown().isEmpty());
    }

    // The real stand-in answers the viewer entry with the first viewer on PATH
    // and nothing else.
    void theStandInRegistryFindsAViewerOnPath() {
        QTemporaryDir bin;
        const QString viewer = bin.filePath("kinfocenter");
        QFile file(viewer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        QString value = "stale";
        const bool found =
            frmAbout::GetKeyValue(platform::HKEY_LOCAL_MACHINE,
                                  "software\\microsoft\\shared tools\\msinfo", "PATH", value);
        QString other = "stale";
        const bool otherFound =
            frmAbout::GetKeyValue(platform::HKEY_LOCAL_MACHINE, sharedToolsKey, "MSINFO", other);
        qputenv("PATH", path);
        QVERIFY(found);
        QCOMPARE(value, viewer);
        QVERIFY(!otherFound);
        QCOMPARE(other, QString());
    }

    void oneBoxAtATimeClosedByOkOrEscape() {
        MainWindowFixture f;
        FakeShell shell;
        frmAbout* first = openAbout(f);
        QVERIFY(first);
        QCOMPARE(openAbout(f), first);
        QCOMPARE(openBoxes().size(), 1);

        QVERIFY(first->cmdOK->isDefault());
        QTest::mouseClick(first->cmdOK, Qt::LeftButton);
        removeClosedBoxes();
        QVERIFY(openBoxes().isEmpty());

        frmAbout* second = openAbout(f);
        QVERIFY(second);
        QCOMPARE(second->lblVersion->text(), QStringLiteral("Version 1.0.8"));
        QTest::keyClick(second, Qt::Key_Escape);
        removeClosedBoxes();
        QVERIFY(openBoxes().isEmpty());
        QVERIFY(openAbout(f));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
