#include "formats/TextDecoding.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstring>

namespace vcard::detail {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// windows-1252 where it differs from ISO-8859-1: the bytes 0x80 to 0x9F. The
// five bytes it leaves undefined keep their C1 code points.
const char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Eight bytes at a time: no byte with its high bit set.
bool isAscii(QByteArrayView bytes) {
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    for (std::uint64_t word; end - at >= 8; at += 8) {
        std::memcpy(&word, at, 8);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; at != end; ++at)
        if (static_cast<unsigned char>(*at) >= 0x80)
            return false;
    return true;
}

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(windows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// `exact`, when given, tells whether the text gives back the bytes as they
// are when written as UTF-8: valid UTF-8 without a leading byte order mark,
// which the decoder drops.
QString decodeUtf8(QByteArrayView bytes, bool& valid, bool* exact) {
    if (isAscii(bytes)) {
        valid = true;
        if (exact)
            *exact = true;
        return QString::fromLatin1(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    valid = !utf8.hasError();
    if (exact)
        *exact = valid && !bytes.startsWith("\xEF\xBB\xBF");
    return text;
}

QString decodeUtf8OrWindows1252(QByteArrayView bytes, bool* exact) {
    bool valid = false;
    QString text = decodeUtf8(bytes, valid, exact);
    return valid ? text : decodeWindows1252(bytes);
}

bool isOneOf(QByteArrayView name, std::initializer_list<const char*> names) {
    for (const char* candidate : names)
        if (name.compare(QByteArrayView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QByteArray decodeQuotedPrintable(QByteArrayView in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            const int high = hexValue(in[i + 1]);
            const int low = hexValue(in[i + 2]);
            if (high >= 0 && low >= 0) {
                out.append(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.append(in[i]);
    }
    return out;
}

QString decodeText(QByteArrayView bytes, QByteArrayView charset, bool* exactUtf8) {
    if (exactUtf8)
        *exactUtf8 = false;
    if (charset.isEmpty())
        return decodeUtf8OrWindows1252(bytes, exactUtf8);
    if (isOneOf(charset, {"utf-8", "utf8"})) {
        bool valid = false;
        return decodeUtf8(bytes, valid, exactUtf8);
    }
    if (isOneOf(charset, {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1",
                          "windows-1252", "cp1252", "us-ascii", "ascii"}))
        return decodeWindows1252(bytes);
    QStringDecoder named(charset.toByteArray().constData());
    if (!named.isValid())
        return decodeUtf8OrWindows1252(bytes, exactUtf8);
    return named.decode(bytes);
}

namespace {

// Where the run from `at` without a backslash or line break ends: four
// UTF-16 units at a time, each compared with the three at once.
qsizetype plainRunEnd(QStringView text, qsizetype at) {
    constexpr std::uint64_t ones = 0x0001000100010001;
    constexpr std::uint64_t highs = ones << 15;
    auto has = [](std::uint64_t units, char16_t c) {
        const std::uint64_t x = units ^ (ones * c);
        return ((x - ones) & ~x & highs) != 0;
    };
    const qsizetype size = text.size();
    for (std::uint64_t units; size - at >= 4; at += 4) {
        std::memcpy(&units, text.utf16() + at, 8);
        if (has(units, u'\\') || has(units, u'\r') || has(units, u'\n'))
            break;
    }
    while (at < size && text[at] != u'\\' && text[at] != u'\r' && text[at] != u'\n')
        ++at;
    return at;
}

} // namespace

// Runs without a backslash or line break, most values whole, are copied at once.
QString unescapeText(QStringView escaped) {
    const qsizetype size = escaped.size();
    qsizetype i = 0;
    auto plain = [&] {
        const qsizetype from = i;
        i = plainRunEnd(escaped, i);
        return escaped.sliced(from, i - from);
    };
    const QStringView first = plain();
    if (i == size)
        return first.toString();
    QString text;
    text.reserve(size + 8);
    text += first;
    while (i < size) {
        const QChar c = escaped[i];
        if (c == u'\\' && i + 1 < size) {
            const QChar next = escaped[i + 1];
            if (next == u'n' || next == u'N') {
                text += u"\r\n";
                ++i;
            } else if (next == u',' || next == u';' || next == u'\\' || next == u':') {
                text += next;
                ++i;
            } else {
                text += c;
            }
        } else if (c == u'\r') {
            text += u"\r\n";
            if (i + 1 < size && escaped[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            text += u"\r\n";
        } else {
            text += c; // a backslash at the end
        }
        ++i;
        text += plain();
    }
    return text;
}

QList<QStringView> splitEscaped(QStringView text, QChar separator) {
    QList<QStringView> parts;
    parts.reserve(8); // an address's seven parts at once
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == separator) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

QString withCrLf(const QString& text) {
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            out += u"\r\n";
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace vcard::detail
