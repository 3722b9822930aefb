#pragma once

#include "data/Contact.h"

#include <QIODevice>
#include <QTest>

using namespace Qt::StringLiterals;

// A contact as one line of text: its thirteen columns in the order of the
// CSV export, then P or B for its type, all joined by "|".
inline QString described(const Contact& c) {
    return QStringList{c.firstName, c.middleName,
                       c.lastName,  c.address,
                       c.city,      c.state,
                       c.zipCode,   c.workPhone,
                       c.homePhone, c.cellPhone,
                       c.email,     c.guardian,
                       c.comments,  c.type == ContactType::Business ? u"B"_s : u"P"_s}
        .join(u'|');
}

// Commas, semicolons, backslashes, quotes and line breaks in every column;
// text outside ASCII and emoji where lines are folded; ids 1 to 3.
inline QList<Contact> awkwardContacts() {
    const QString marks = u", ; \\ \\n \" '\r\n2nd line"_s;
    return {{.id = 1,
             .firstName = "Zoë" + marks,
             .middleName = "van, der;" + marks,
             .lastName = "Ŷ😀 O'Neil" + marks,
             .address = "1 Rue\r\n\r\nBât. B; 2e" + marks,
             .city = "Saint-Étienne, Loire" + marks,
             .state = "Ł\\" + marks,
             .zipCode = "42 000" + marks,
             .workPhone = "+33 (0)4 77" + marks,
             .homePhone = "tel:1" + marks,
             .cellPhone = "06;07" + marks,
             .email = "zoë@example.fr" + marks,
             .guardian = "Mère, Père\\n" + marks,
             .comments = QString("Long line 😀 ü 日本 ").repeated(12) + "\r\nend" + marks,
             .type = ContactType::Business},
            {.id = 2, .cellPhone = "1"},
            {.id = 3, .firstName = "Mary Ann", .comments = "\\N; no name"}};
}

// A sequential device that gives `head`, then `filler` `repeats` times, then
// `tail`, at most `piece` bytes per read: a huge input without its memory, or
// a small one cut at every possible place.
class GeneratedDevice : public QIODevice {
public:
    GeneratedDevice(QByteArray head, QByteArray filler, qint64 repeats, QByteArray tail,
                    qint64 piece = 1 << 16)
        : parts_{std::move(head), std::move(filler), std::move(tail)}, repeats_(repeats),
          piece_(piece) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 fillerEnd = parts_[0].size() + parts_[1].size() * repeats_;
        qint64 done = 0;
        max = qMin(max, piece_);
        while (done < max) {
            const QByteArray* part = &parts_[0];
            qint64 offset = position_;
            if (offset >= parts_[0].size() && offset < fillerEnd) {
                part = &parts_[1];
                offset = (offset - parts_[0].size()) % part->size();
            } else if (offset >= fillerEnd) {
                part = &parts_[2];
                offset -= fillerEnd;
            }
            const qint64 n = qMin(max - done, qint64(part->size()) - offset);
            if (n <= 0)
                break;
            memcpy(data + done, part->constData() + offset, size_t(n));
            done += n;
            position_ += n;
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray parts_[3];
    qint64 repeats_;
    qint64 piece_;
    qint64 position_ = 0;
};
