#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What a contact's kept card holds beyond the columns, as the details show
// it: values with the label the card gives them, already translated.
struct LabelledValue {
    QString label;
    QString value;

    bool operator==(const LabelledValue&) const = default;
};

struct CardExtras {
    QString organization;
    QString title;
    QString birthday;
    QStringList nicknames;
    QStringList webPages;
    QList<LabelledValue> phones;    // beyond the three phone columns
    QList<LabelledValue> emails;    // beyond the e-mail column
    QList<LabelledValue> addresses; // beyond the address columns
    QByteArray photo;               // the picture's encoded bytes (PNG, JPEG, …)

    bool isEmpty() const {
        return organization.isEmpty() && title.isEmpty() && birthday.isEmpty() &&
               nicknames.isEmpty() && webPages.isEmpty() && phones.isEmpty() && emails.isEmpty() &&
               addresses.isEmpty() && photo.isEmpty();
    }
    bool operator==(const CardExtras&) const = default;
};
