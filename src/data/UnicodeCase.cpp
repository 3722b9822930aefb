#include "data/UnicodeCase.h"

#include <QChar>
#include <sqlite3.h>

#include <cstring>

namespace {

// Reads one code point of UTF-8 at `pos` and advances it. Malformed bytes are
// taken one by one as they stand, so a bad byte never stops a comparison.
char32_t nextCodePoint(const unsigned char* s, int length, int& pos) {
    const unsigned char lead = s[pos++];
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || pos + extra > length)
        return lead;
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const unsigned char next = s[pos];
        if ((next & 0xC0) != 0x80)
            return lead;
        cp = (cp << 6) | (next & 0x3F);
        ++pos;
    }
    return cp;
}

char32_t folded(char32_t cp) {
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    return QChar::toCaseFolded(cp);
}

// A cursor over UTF-8 text that yields case-folded code points.
struct FoldedText {
    const unsigned char* s;
    int length;
    int pos = 0;

    bool atEnd() const { return pos >= length; }
    char32_t next() { return folded(nextCodePoint(s, length, pos)); }
};

bool isAscii(const char* s, int length) {
    for (int i = 0; i < length; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

inline unsigned char lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Glob matching of % (any run) and _ (one character) with one backtracking
// point, the classic linear-time approach. Works on any cursor type that
// yields comparable characters.
template <typename Source> bool matchPattern(Source pattern, Source text, char32_t escape) {
    Source starPattern = pattern;
    Source starText = text;
    bool haveStar = false;
    while (true) {
        if (!pattern.atEnd()) {
            Source afterPattern = pattern;
            char32_t p = afterPattern.next();
            if (p == U'%') {
                // Collapse runs of % and remember where to come back to.
                pattern = afterPattern;
                haveStar = true;
                starPattern = pattern;
                starText = text;
                continue;
            }
            bool literal = false;
            if (escape && p == escape && !afterPattern.atEnd()) {
                p = afterPattern.next();
                literal = true;
            }
            if (!text.atEnd()) {
                Source afterText = text;
                const char32_t t = afterText.next();
                if ((!literal && p == U'_') || p == t) {
                    pattern = afterPattern;
                    text = afterText;
                    continue;
                }
            }
        } else if (text.atEnd()) {
            return true;
        }
        if (!haveStar || starText.atEnd())
            return false;
        starText.next();
        text = starText;
        pattern = starPattern;
    }
}

struct AsciiText {
    const unsigned char* s;
    int length;
    int pos = 0;

    bool atEnd() const { return pos >= length; }
    char32_t next() { return lowerAscii(s[pos++]); }
};

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternLength = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textLength = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text) {
        sqlite3_result_null(context);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        const int eLength = sqlite3_value_bytes(argv[2]);
        int pos = 0;
        if (!e || eLength == 0) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = folded(nextCodePoint(e, eLength, pos));
        if (pos != eLength) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    sqlite3_result_int(context, likeIgnoringCase(pattern, patternLength, text, textLength, escape));
}

} // namespace

int compareIgnoringCase(const char* a, int aLength, const char* b, int bLength) {
    const auto* ua = reinterpret_cast<const unsigned char*>(a);
    const auto* ub = reinterpret_cast<const unsigned char*>(b);
    int i = 0;
    // ASCII prefix: byte by byte, no decoding.
    while (i < aLength && i < bLength && ua[i] < 0x80 && ub[i] < 0x80) {
        const int d = lowerAscii(ua[i]) - lowerAscii(ub[i]);
        if (d != 0)
            return d;
        ++i;
    }
    FoldedText ta{ua, aLength, i};
    FoldedText tb{ub, bLength, i};
    while (!ta.atEnd() && !tb.atEnd()) {
        const char32_t ca = ta.next();
        const char32_t cb = tb.next();
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (ta.atEnd() && tb.atEnd())
        return 0;
    return ta.atEnd() ? -1 : 1;
}

bool sameIgnoringCase(const QString& a, const QString& b) {
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return compareIgnoringCase(ua.constData(), int(ua.size()), ub.constData(), int(ub.size())) == 0;
}

bool likeIgnoringCase(const char* pattern, int patternLength, const char* text, int textLength,
                      char32_t escape) {
    const auto* up = reinterpret_cast<const unsigned char*>(pattern);
    const auto* ut = reinterpret_cast<const unsigned char*>(text);
    if (escape < 0x80 && isAscii(pattern, patternLength) && isAscii(text, textLength))
        return matchPattern(AsciiText{up, patternLength}, AsciiText{ut, textLength}, escape);
    return matchPattern(FoldedText{up, patternLength}, FoldedText{ut, textLength}, escape);
}

void registerUnicodeCase(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
}
