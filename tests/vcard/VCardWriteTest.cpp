#include "VCardTesting.h"
#include "vcard/ContactFileReader.h"
#include "vcard/VCardWriter.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

using vcard::VCardVersion;

namespace {

const QString seed = QStringLiteral("book seed");

QList<Contact> awkwardContacts() {
    return {{.id = 1,
             .firstName = "Zoë \\ ; ,",
             .middleName = "van der",
             .lastName = "Ŷ😀 O'Neil",
             .address = "1 Rue\r\n\r\nBât. B; 2e",
             .city = "Saint-Étienne, Loire",
             .state = "Ł\\",
             .zipCode = "42 000",
             .workPhone = "+33 (0)4 77",
             .homePhone = "tel:1",
             .cellPhone = "06;07",
             .email = "zoë@example.fr",
             .guardian = "Mère, Père\\n",
             .comments = QString("Long line 😀 ü 日本 ").repeated(12) + "\r\nend\r\n",
             .type = ContactType::Business},
            {.id = 2, .cellPhone = "1"},
            {.id = 3, .firstName = "Mary Ann", .comments = "\\N; no name"}};
}

QByteArray written(const QList<Contact>& contacts, VCardVersion version) {
    vcard::VCardWriter writer(version);
    for (const Contact& c : contacts)
        writer.write(c, vcard::stableUid(c.id, seed));
    return writer.data();
}

// Contacts described() with their uids: as written, and as read.
QStringList withUids(const QList<Contact>& contacts) {
    QStringList lines;
    for (const Contact& c : contacts)
        lines << described(c) + u'|' + vcard::stableUid(c.id, seed);
    return lines;
}

QStringList withUids(const QList<vcard::ReadContact>& read) {
    QStringList lines;
    for (const vcard::ReadContact& r : read)
        lines << described(r.contact) + u'|' + r.uid;
    return lines;
}

// Runs the vobject script; its standard output.
QByteArray runVobject(const QStringList& arguments) {
    QProcess python;
    const QString script = QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
                           QStringLiteral("/vobject_roundtrip.py");
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + arguments);
    python.waitForFinished(60000);
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        qWarning().noquote() << python.readAllStandardError();
    return python.exitCode() == 0 ? python.readAllStandardOutput() : QByteArray("failed");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class VCardWriteTest : public QObject {
    Q_OBJECT

    void addVersions() {
        QTest::addColumn<VCardVersion>("version");
        QTest::newRow("3.0") << VCardVersion::V3_0;
        QTest::newRow("4.0") << VCardVersion::V4_0;
    }

private slots:
    void writesEachColumnEscaped_data() {
        QTest::addColumn<VCardVersion>("version");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QByteArray>("card");
        QTest::newRow("3.0") << VCardVersion::V3_0 << "uid-7"
                             << QByteArray(
                                    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:uid-7\r\n"
                                    "FN:Ann B. O'Lee\\, Jr\\;\r\nN:O'Lee\\, Jr\\;;Ann;B.;;\r\n"
                                    "ADR;TYPE=WORK:;;1 Main St\\nFlat 2;Town;ST;01234;\r\n"
                                    "TEL;TYPE=WORK:+1 555 0100\r\n"
                                    "TEL;TYPE=CELL:+1 555 0111\r\n"
                                    "EMAIL;TYPE=INTERNET:ann@example.org\r\n"
                                    "X-ORVANTA-GUARDIAN:Bo\\\\Pa\r\n"
                                    "NOTE:Line 1\\nLine 2\r\nCATEGORIES:Business\r\n"
                                    "END:VCARD\r\n");
        QTest::newRow("4.0") << VCardVersion::V4_0 << "4fbe8971-0bc3-424c-9c26-36c3e1eff6b1"
                             << QByteArray(
                                    "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                    "UID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\n"
                                    "FN:Ann B. O'Lee\\, Jr\\;\r\nN:O'Lee\\, Jr\\;;Ann;B.;;\r\n"
                                    "ADR;TYPE=work:;;1 Main St\\nFlat 2;Town;ST;01234;\r\n"
                                    "TEL;TYPE=work:+1 555 0100\r\n"
                                    "TEL;TYPE=cell:+1 555 0111\r\n"
                                    "EMAIL:ann@example.org\r\n"
                                    "X-ORVANTA-GUARDIAN:Bo\\\\Pa\r\n"
                                    "NOTE:Line 1\\nLine 2\r\nCATEGORIES:Business\r\n"
                                    "END:VCARD\r\n");
    }

    void writesEachColumnEscaped() {
        QFETCH(VCardVersion, version);
        QFETCH(QString, uid);
        QFETCH(QByteArray, card);
        vcard::VCardWriter writer(version);
        writer.write({.firstName = "Ann",
                      .middleName = "B.",
                      .lastName = "O'Lee, Jr;",
                      .address = "1 Main St\r\nFlat 2",
                      .city = "Town",
                      .state = "ST",
                      .zipCode = "01234",
                      .workPhone = "+1 555 0100",
                      .cellPhone = "+1 555 0111",
                      .email = "ann@example.org",
                      .guardian = "Bo\\Pa",
                      .comments = "Line 1\r\nLine 2",
                      .type = ContactType::Business},
                     uid);
        QList<QByteArray> lines = writer.data().split('\n');
        QVERIFY(lines.size() > 3 && lines[2].startsWith("PRODID:-//Orvanta//Orvanta Contacts "));
        lines.removeAt(2);
        QCOMPARE(lines.join('\n'), card);
    }

    // Every physical line holds at most 75 octets and whole UTF-8 characters,
    // and is cut no earlier than a character needs.
    void foldsAt75OctetsBetweenCharacters_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("ASCII") << QString(200, u'x');
        for (const char* prefix : {"", "a", "ab", "abc"}) {
            QTest::addRow("2-byte letters after %d", int(strlen(prefix)))
                << prefix + QString("ü").repeated(100);
            QTest::addRow("3-byte letters after %d", int(strlen(prefix)))
                << prefix + QString("日").repeated(80);
            QTest::addRow("emoji after %d", int(strlen(prefix)))
                << prefix + QString("😀").repeated(60);
        }
    }

    void foldsAt75OctetsBetweenCharacters() {
        QFETCH(QString, value);
        const QByteArray out = written({{.comments = value}}, VCardVersion::V3_0);
        const QList<QByteArray> lines = out.split('\n');
        QByteArray note;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray& line = lines[i];
            QVERIFY(line.isEmpty() || line.endsWith('\r'));
            QVERIFY2(line.size() - 1 <= 75, line.constData());
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString decoded = utf8.decode(line);
            QVERIFY2(!utf8.hasError(), line.constData());
            if (line.startsWith("NOTE:"))
                note = line.chopped(1);
            else if (line.startsWith(' ') && !note.isEmpty())
                note += line.sliced(1).chopped(1);
            const bool continued = i + 1 < lines.size() && lines[i + 1].startsWith(' ');
            if (continued)
                QVERIFY2(line.size() - 1 >= 72, line.constData());
        }
        QCOMPARE(QString::fromUtf8(note), QStringLiteral("NOTE:") + value);
    }

    void readsBackWhatItWrites_data() { addVersions(); }
    void readsBackWhatItWrites() {
        QFETCH(VCardVersion, version);
        const vcard::ImportResult result = vcard::readContacts(written(awkwardContacts(), version));
        QCOMPARE(result.problems, QList<vcard::ImportProblem>{});
        QCOMPARE(withUids(result.contacts), withUids(awkwardContacts()));
    }

    void stableUidsDependOnIdAndSeedOnly() {
        const QString uid = vcard::stableUid(42, seed);
        QCOMPARE(QUuid::fromString(uid).version(), QUuid::Sha1);
        QCOMPARE(vcard::stableUid(42, seed), uid);
        QVERIFY(vcard::stableUid(43, seed) != uid);
        QVERIFY(vcard::stableUid(42, QStringLiteral("other book")) != uid);
        // As Python's uuid.uuid5 makes them in the same namespace.
        QCOMPARE(uid, QStringLiteral("0c2ddbf6-9b88-50a2-9813-cce33a8dd909"));
        vcard::StableUids uids(QStringLiteral("contact book Zoë"));
        QCOMPARE(uids(-7), QByteArray("a392ddd9-18ef-5737-abca-917bc608dc1a"));
        QCOMPARE(uids(42), vcard::stableUid(42, QStringLiteral("contact book Zoë")).toLatin1());
    }

    void vobjectReadsWhatWeWrite_data() { addVersions(); }
    void vobjectReadsWhatWeWrite() {
        QFETCH(VCardVersion, version);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.vcf"));
        writeFile(path, written(awkwardContacts(), version));
        const QJsonDocument read = QJsonDocument::fromJson(runVobject({"read", path}));
        QCOMPARE(read.array().toVariantList(), QVariant(withUids(awkwardContacts())).toList());
    }

    void weReadWhatVobjectWrites_data() { addVersions(); }
    void weReadWhatVobjectWrites() {
        QFETCH(VCardVersion, version);
        QTemporaryDir dir;
        const QString json = dir.filePath(QStringLiteral("contacts.json"));
        const QString path = dir.filePath(QStringLiteral("book.vcf"));
        const QJsonArray contacts = QJsonArray::fromStringList(withUids(awkwardContacts()));
        writeFile(json, QJsonDocument(contacts).toJson());
        runVobject({"write", version == VCardVersion::V3_0 ? "3.0" : "4.0", json, path});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const vcard::ImportResult result = vcard::readContacts(&file);
        QCOMPARE(result.problems, QList<vcard::ImportProblem>{});
        QCOMPARE(withUids(result.contacts), withUids(awkwardContacts()));
    }
};

QTEST_MAIN(VCardWriteTest)
#include "VCardWriteTest.moc"
