#include "formats/CardExtras.h"

#include "formats/TextDecoding.h"

#include <QCoreApplication>
#include <QHash>

namespace vcard {

namespace {

using detail::splitEscaped;
using detail::unescapeText;

QString label(const char* text) {
    return QCoreApplication::translate("vcard::Labels", text);
}

struct Line {
    QByteArray group; // upper case
    QByteArray name;  // upper case
    QList<QByteArray> types;
    QByteArray encoding;
    QString value; // escapes in place
};

QList<QByteArray> parameterValues(const QByteArray& value) {
    QList<QByteArray> values;
    for (const QByteArray& one : QByteArray(value).replace('"', "").split(','))
        if (!one.trimmed().isEmpty())
            values.append(one.trimmed().toUpper());
    return values;
}

// The content lines of a card: unfolded and split into group, name,
// parameters and value.
QList<Line> linesOf(const QByteArray& card) {
    QList<QByteArray> logical;
    for (QByteArray physical : card.split('\n')) {
        if (physical.endsWith('\r'))
            physical.chop(1);
        if (!logical.isEmpty() && (physical.startsWith(' ') || physical.startsWith('\t')))
            logical.last() += physical.mid(1);
        else if (!physical.isEmpty())
            logical.append(physical);
    }
    QList<Line> lines;
    for (const QByteArray& text : logical) {
        bool quoted = false;
        qsizetype colon = -1;
        for (qsizetype i = 0; i < text.size() && colon < 0; ++i) {
            if (text[i] == '"')
                quoted = !quoted;
            else if (text[i] == ':' && !quoted)
                colon = i;
        }
        if (colon < 0)
            continue;
        const QList<QByteArray> parts = text.left(colon).split(';');
        Line line;
        QByteArray name = parts[0].trimmed();
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
            line.group = name.left(dot).toUpper();
            name = name.mid(dot + 1);
        }
        line.name = name.toUpper();
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const qsizetype equals = parts[i].indexOf('=');
            const QByteArray key = equals < 0 ? QByteArray() : parts[i].left(equals).toUpper();
            const QByteArray value = equals < 0 ? parts[i] : parts[i].mid(equals + 1);
            if (equals < 0 || key == "TYPE")
                line.types += parameterValues(value);
            else if (key == "ENCODING")
                line.encoding = value.toUpper();
        }
        line.value = QString::fromUtf8(text.mid(colon + 1));
        lines.append(line);
    }
    return lines;
}

// "Work", "cell", or the label another program gave the group.
QString labelOf(const Line& line, const QHash<QByteArray, QString>& groupLabels) {
    if (const QString own = groupLabels.value(line.group); !own.isEmpty())
        return own;
    const struct {
        const char* type;
        const char* text;
    } known[] = {
        {"CELL", QT_TRANSLATE_NOOP("vcard::Labels", "cell")},
        {"MOBILE", QT_TRANSLATE_NOOP("vcard::Labels", "cell")},
        {"FAX", QT_TRANSLATE_NOOP("vcard::Labels", "Fax")},
        {"PAGER", QT_TRANSLATE_NOOP("vcard::Labels", "Pager")},
        {"WORK", QT_TRANSLATE_NOOP("vcard::Labels", "work")},
        {"HOME", QT_TRANSLATE_NOOP("vcard::Labels", "home")},
    };
    for (const auto& k : known)
        if (line.types.contains(k.type))
            return label(k.text);
    return {};
}

QString joinedComponents(const QString& value) {
    QStringList filled;
    for (const QStringView part : splitEscaped(value, u';'))
        if (const QString text = unescapeText(part).trimmed(); !text.isEmpty())
            filled.append(text);
    return filled.join(QStringLiteral(", "));
}

QByteArray photoBytes(const Line& line) {
    const QString value = line.value.trimmed();
    if (line.encoding == "B" || line.encoding == "BASE64")
        return QByteArray::fromBase64(value.toLatin1());
    if (value.startsWith(QStringLiteral("data:"), Qt::CaseInsensitive)) {
        const qsizetype comma = value.indexOf(u',');
        if (comma > 0 && value.left(comma).endsWith(QStringLiteral(";base64"), Qt::CaseInsensitive))
            return QByteArray::fromBase64(value.mid(comma + 1).toLatin1());
    }
    return {};
}

} // namespace

QString plainLabel(const QString& text) {
    QString word = text.trimmed();
    if (word.startsWith(QStringLiteral("_$!<")) && word.endsWith(QStringLiteral(">!$_")))
        word = word.mid(4, word.size() - 8);
    // "AssistantPhone" → "Assistant phone"
    QString spaced;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (i > 0 && word[i].isUpper() && word[i - 1].isLower()) {
            spaced += u' ';
            spaced += word[i].toLower();
        } else {
            spaced += word[i];
        }
    }
    static const QHash<QString, const char*> common = {
        {QStringLiteral("Mobile"), QT_TRANSLATE_NOOP("vcard::Labels", "cell")},
        {QStringLiteral("Home"), QT_TRANSLATE_NOOP("vcard::Labels", "home")},
        {QStringLiteral("Work"), QT_TRANSLATE_NOOP("vcard::Labels", "work")},
        {QStringLiteral("Other"), QT_TRANSLATE_NOOP("vcard::Labels", "other")},
        {QStringLiteral("Main"), QT_TRANSLATE_NOOP("vcard::Labels", "main")},
        {QStringLiteral("Assistant phone"), QT_TRANSLATE_NOOP("vcard::Labels", "assistant")},
        {QStringLiteral("Home page"), QT_TRANSLATE_NOOP("vcard::Labels", "Web page")},
    };
    const char* known = common.value(spaced);
    return known ? label(known) : spaced;
}

CardExtras extrasOf(const QByteArray& card, const Contact& contact) {
    CardExtras extras;
    const QList<Line> lines = linesOf(card);
    QHash<QByteArray, QString> groupLabels;
    for (const Line& line : lines)
        if (line.name == "X-ABLABEL" && !line.group.isEmpty())
            groupLabels.insert(line.group, plainLabel(unescapeText(line.value)));
    bool firstAddress = true;
    bool emailInColumn = false;
    for (const Line& line : lines) {
        const QByteArray& name = line.name;
        const QString text = unescapeText(line.value).trimmed();
        if (name == "ORG" && extras.organization.isEmpty()) {
            extras.organization = joinedComponents(line.value);
        } else if (name == "TITLE" && extras.title.isEmpty()) {
            extras.title = text;
        } else if (name == "BDAY" && extras.birthday.isEmpty()) {
            extras.birthday = text;
        } else if (name == "NICKNAME") {
            for (const QStringView nick : splitEscaped(line.value, u','))
                if (const QString one = unescapeText(nick).trimmed(); !one.isEmpty())
                    extras.nicknames.append(one);
        } else if (name == "URL" && !text.isEmpty()) {
            extras.webPages.append(text);
        } else if (name == "TEL") {
            QString number = text;
            if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
                number.remove(0, 4);
            if (!number.isEmpty() && number != contact.workPhone && number != contact.homePhone &&
                number != contact.cellPhone)
                extras.phones.append({labelOf(line, groupLabels), number});
        } else if (name == "EMAIL" && !text.isEmpty()) {
            if (!emailInColumn && text == contact.email.trimmed())
                emailInColumn = true;
            else
                extras.emails.append({labelOf(line, groupLabels), text});
        } else if (name == "ADR") {
            if (!firstAddress)
                if (const QString address = joinedComponents(line.value); !address.isEmpty())
                    extras.addresses.append({labelOf(line, groupLabels), address});
            firstAddress = false;
        } else if (name == "PHOTO" && extras.photo.isEmpty()) {
            extras.photo = photoBytes(line);
        }
    }
    return extras;
}

} // namespace vcard
