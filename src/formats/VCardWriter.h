#pragma once

#include "data/Contact.h"

#include <QByteArray>
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
//         writer.write(c, uidOf(c));
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

    // A card written elsewhere (a kept card), as it is.
    void append(QByteArrayView card) { out_.append(card); }

    const QByteArray& data() const { return out_; }
    void clear() { out_.resize(0); }

private:
    void begin(const char* nameAndParameters);
    void text(QByteArrayView utf8);
    void list(QByteArrayView utf8);
    void separator() { line_.push_back(';'); }
    void end();

    VCardVersion version_;
    QByteArray out_;
    std::string line_; // the line being built, before it is folded
};

} // namespace vcard
