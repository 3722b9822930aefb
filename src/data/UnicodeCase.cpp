#include "data/UnicodeCase.h"

#include <QChar>
#include <QList>
#include <sqlite3.h>

#include <algorithm>
#include <array>
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

// Combining marks that only put an accent on the letter before them: the
// blocks of general diacritics. Marks of other scripts (Indic vowel signs,
// Hebrew and Arabic points) make another letter or syllable and are kept.
bool isDiacritic(char32_t cp) {
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
           (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
           (cp >= 0xFE20 && cp <= 0xFE2F);
}

// The letter an accented letter is written on: its canonical decomposition,
// as long as everything after the first code point is a diacritic. A
// Hangul syllable or an Indic letter with a nukta decomposes otherwise and
// stays as it is.
char32_t baseLetter(char32_t cp) {
    while (QChar::decompositionTag(cp) == QChar::Canonical) {
        const QList<uint> parts = QChar::decomposition(cp).toUcs4();
        if (parts.isEmpty() || !std::all_of(parts.begin() + 1, parts.end(),
                                            [](uint part) { return isDiacritic(part); }))
            break;
        cp = parts.first();
    }
    return cp;
}

// Letters drawn with a stroke or a slash have no decomposition, yet are read
// as accented forms of their plain letter. Letters of their own (ß, æ, œ, ð,
// þ, dotless ı) stay as they are: spelling them out would let one character
// match two, and they are not a letter with an accent.
char32_t withoutStroke(char32_t cp) {
    switch (cp) {
    case U'\u00F8': // ø
        return U'o';
    case U'\u0111': // đ
        return U'd';
    case U'\u0127': // ħ
        return U'h';
    case U'\u0142': // ł
        return U'l';
    case U'\u0167': // ŧ
        return U't';
    default:
        return cp;
    }
}

char32_t foldedWithoutAccent(char32_t cp) {
    return withoutStroke(folded(baseLetter(folded(cp))));
}

// The folding for LIKE: case and accents. The scripts that carry most accents
// lie below U+2000, so their foldings are worked out once.
char32_t likeFolded(char32_t cp) {
    if (cp < 0x80)
        return folded(cp);
    constexpr char32_t tableSize = 0x2000;
    static const auto table = [] {
        std::array<char32_t, tableSize> all{};
        for (char32_t c = 0; c < tableSize; ++c)
            all[c] = foldedWithoutAccent(c);
        return all;
    }();
    return cp < tableSize ? table[cp] : foldedWithoutAccent(cp);
}

// A cursor over UTF-8 text that yields code points folded for LIKE. The
// diacritics of decomposed text go with the letter before them, so "e"
// followed by a combining acute is one character, as "é" is.
struct LikeText {
    const unsigned char* s;
    int length;
    int pos = 0;

    LikeText(const unsigned char* text, int textLength) : s(text), length(textLength) {
        skipDiacritics();
    }
    bool atEnd() const { return pos >= length; }
    char32_t next() {
        const char32_t cp = likeFolded(nextCodePoint(s, length, pos));
        skipDiacritics();
        return cp;
    }
    void skipDiacritics() {
        while (pos < length) {
            int after = pos;
            if (!isDiacritic(nextCodePoint(s, length, after)))
                return;
            pos = after;
        }
    }
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
        escape = likeFolded(nextCodePoint(e, eLength, pos));
        if (pos != eLength) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    sqlite3_result_int(
        context, likeIgnoringCaseAndAccents(pattern, patternLength, text, textLength, escape));
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

bool likeIgnoringCaseAndAccents(const char* pattern, int patternLength, const char* text,
                                int textLength, char32_t escape) {
    const auto* up = reinterpret_cast<const unsigned char*>(pattern);
    const auto* ut = reinterpret_cast<const unsigned char*>(text);
    if (escape < 0x80 && isAscii(pattern, patternLength) && isAscii(text, textLength))
        return matchPattern(AsciiText{up, patternLength}, AsciiText{ut, textLength}, escape);
    return matchPattern(LikeText(up, patternLength), LikeText(ut, textLength), escape);
}

void registerUnicodeCase(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
}
