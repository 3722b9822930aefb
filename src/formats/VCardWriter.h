#pragma once

#include "data/Contact.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <string>

// Writing contacts as vCards: UTF-8, CR LF, lines folded at 75 octets.
namespace vcard {

enum class VCardVersion { V3_0, V4_0 };

// Appends one card per contact to a buffer that the caller writes out and
// clears whenever it likes, so a book of any size needs little memory:
//
//     VCardWriter writer;
//     for (const Contact& c : contacts) {
//         writer.write(c, stableUid(c.id, bookSeed));
//         if (writer.data().size() > 1 << 20) { file.write(writer.data()); writer.clear(); }
//     }
//     file.write(writer.data());
class VCardWriter {
public:
    explicit VCardWriter(VCardVersion version = VCardVersion::V3_0) : version_(version) {}

    // One card; `uid` names the contact for good (the same uid on a later
    // export lets a reader update rather than duplicate it).
    void write(const Contact& contact, const QString& uid);
    // The same from UTF-8 bytes (as the database holds them), which need no
    // conversion: the export of a whole book takes this way.
    void write(const ContactUtf8& contact, QByteArrayView uid);

    const QByteArray& data() const { return out_; }
    void clear() { out_.resize(0); }

private:
    void begin(const char* nameAndParameters);
    void text(QByteArrayView utf8);
    void separator() { line_.push_back(';'); }
    void end();

    VCardVersion version_;
    QByteArray out_;
    std::string line_; // the line being built, before it is folded
};

// A uid that is the same whenever the same id is written with the same seed
// (a name-based UUID, version 5), e.g. seed = a per-file or per-book string.
QString stableUid(qint64 id, const QString& seed);

// The same uids for many ids with one seed, as bytes, at an export's pace.
class StableUids {
public:
    explicit StableUids(const QString& seed);
    QByteArray operator()(qint64 id);

private:
    QByteArray m_name; // the namespace's bytes, the seed and a line break
    qsizetype m_prefix;
    QCryptographicHash m_hash{QCryptographicHash::Sha1};
};

} // namespace vcard
