#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstring>

// The byte- and character-level steps of reading a vCard value.
namespace vcard::detail {

// The first `c` in `text` from `from` on, or -1: a memchr, where the
// views' indexOf searches for a one-byte text the general way.
inline qsizetype indexOfByte(QByteArrayView text, char c, qsizetype from = 0) {
    if (from >= text.size())
        return -1;
    const void* at = std::memchr(text.data() + from, c, size_t(text.size() - from));
    return at ? static_cast<const char*>(at) - text.data() : -1;
}

// Grows `out` by the bytes, without QByteArray::append's general path.
inline void appendBytes(QByteArray& out, QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    const qsizetype at = out.size();
    out.resize(at + bytes.size());
    std::memcpy(out.data() + at, bytes.data(), size_t(bytes.size()));
}

// True when `text` is `upper` (upper case) with its ASCII letters in any
// case: names and parameters of content lines.
inline bool isNamed(QByteArrayView text, QByteArrayView upper) {
    if (text.size() != upper.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) != upper[i])
            return false;
    }
    return true;
}

// The last `c` in `text`, or -1 (names are short: a plain loop).
inline qsizetype lastIndexOfByte(QByteArrayView text, char c) {
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        if (text[i] == c)
            return i;
    return -1;
}

// Bytes of a quoted-printable value whose soft line breaks are already joined.
// A '=' not followed by two hex digits is kept as it is.
QByteArray decodeQuotedPrintable(QByteArrayView in);

// Characters of bytes in the named character set. Without a name, bytes that
// are not valid UTF-8 are read as windows-1252; with UTF-8 named, each
// invalid byte becomes U+FFFD and the rest is read as UTF-8.
// ISO-8859-1 is read as windows-1252 too: its C1 controls never carry text.
// `exactUtf8`, when given, is set when the text written as UTF-8 is the
// bytes as they are, so they can stand for it.
QString decodeText(QByteArrayView bytes, QByteArrayView charset = {}, bool* exactUtf8 = nullptr);

// Undoes the backslash escapes of a text value (\, \; \\ \: \n \N); any line
// break, escaped or raw, comes out as CR LF. An unknown escape stays as it is.
QString unescapeText(QStringView escaped);

// Splits at `separator` where no backslash escapes it; the parts keep their
// escapes.
QList<QStringView> splitEscaped(QStringView text, QChar separator);

// `text` with every line break (CR LF, LF or CR) as CR LF.
QString withCrLf(const QString& text);

} // namespace vcard::detail
