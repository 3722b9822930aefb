#include "VCardTesting.h"
#include "vcard/ContactFileReader.h"
#include "vcard/VCardWriter.h"

#include <QStringDecoder>

using vcard::VCardVersion;

namespace {

const QString seed = u"book seed"_s;

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
        QCOMPARE(QString::fromUtf8(note), u"NOTE:"_s + value);
    }

    void readsBackWhatItWrites_data() { addVersions(); }
    void readsBackWhatItWrites() {
        QFETCH(VCardVersion, version);
        QList<Contact> contacts = awkwardContacts();
        contacts[0].comments += u"\r\n"_s; // a line break at the very end
        const vcard::ImportResult result = vcard::readContacts(written(contacts, version));
        QCOMPARE(result.problems, QList<vcard::ImportProblem>{});
        QCOMPARE(withUids(result.contacts), withUids(contacts));
    }

    void stableUidsDependOnIdAndSeedOnly() {
        const QString uid = vcard::stableUid(42, seed);
        QCOMPARE(QUuid::fromString(uid).version(), QUuid::Sha1);
        QCOMPARE(vcard::stableUid(42, seed), uid);
        QVERIFY(vcard::stableUid(43, seed) != uid);
        QVERIFY(vcard::stableUid(42, u"other book"_s) != uid);
        // As Python's uuid.uuid5 makes them in the same namespace.
        QCOMPARE(uid, u"0c2ddbf6-9b88-50a2-9813-cce33a8dd909"_s);
        vcard::StableUids uids(u"contact book Zoë"_s);
        QCOMPARE(uids(-7), QByteArray("a392ddd9-18ef-5737-abca-917bc608dc1a"));
        QCOMPARE(uids(42), vcard::stableUid(42, u"contact book Zoë"_s).toLatin1());
    }
};

QTEST_MAIN(VCardWriteTest)
#include "VCardWriteTest.moc"
