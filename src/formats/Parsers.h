#pragma once

#include "formats/ContactFileReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <deque>
#include <optional>

// The pieces behind ContactFileReader: two push parsers that are fed the
// input in chunks of any size and leave what they read in a ReaderOutput.
namespace vcard::detail {

// A card or a CSV row may hold up to this many bytes; each value counts
// with a little extra, so that a million tiny values cannot take much memory.
inline constexpr qsizetype maxRecordBytes = 2 * maxValueBytes;
inline constexpr qsizetype valueOverhead = 256;
// Problems beyond this many are only counted.
inline constexpr int maxProblems = 1000;

struct ReaderOutput {
    std::deque<ReadContact> contacts;
    QList<ImportProblem> problems;
    int binarySkipped = 0;
    int vendorSkipped = 0;
    int moreProblems = 0;

    void problem(ImportProblem::Kind kind, qint64 line, const QString& detail = {}, int count = 0) {
        if (problems.size() < maxProblems)
            problems.append({kind, line, count, detail});
        else
            ++moreProblems;
    }
};

// One property of a card, its value decoded into characters but with its
// backslash escapes still in place (compound values are split first).
struct Property {
    qint64 line = 0;
    QByteArray group;        // upper case, empty without a group
    QByteArray name;         // upper case
    QList<QByteArray> types; // TYPE values and bare 2.1 parameters, upper case
    QByteArray valueType;    // VALUE=, upper case
    QString value;
    // The value's UTF-8 text when the bytes read are exactly that (or, for
    // a binary value, its bytes); else empty.
    QByteArray utf8;
    QByteArray head;     // group, name and parameters as written
    bool binary = false; // value holds the encoded bytes as written (base64)
};

// Fills `read` from the properties of one card; false when the card holds no
// value for any column. Counts the X- properties it leaves out.
bool contactFromCard(const QList<Property>& properties, ReadContact& read, int& vendorSkipped);

class VCardParser {
public:
    explicit VCardParser(ReaderOutput& out) : out_(out) {}
    void feed(QByteArrayView bytes);
    void finish();

private:
    // One content line being assembled from its physical lines.
    struct LogicalLine {
        bool active = false;
        qint64 line = 0;
        QByteArray head; // group, name and parameters, up to the unquoted colon
        QByteArray value;
        bool headDone = false, headTooLong = false, inParams = false, inQuote = false;
        bool validName = false, quotedPrintable = false, binary = false;
        bool discard = false, tooLong = false, softBreak = false;
        char lastByte = 0; // of the current physical line
        QByteArray charset;
        Property property;
    };

    void piece(QByteArrayView bytes, bool endsLine);
    void append(QByteArrayView bytes);
    void parseHead();
    void complete();
    void notAProperty();
    void outsideCard(qint64 line);
    void beginCard(qint64 line);
    void endCard(qint64 line);
    void takeCard();

    // A card begun and not yet ended.
    struct OpenCard {
        qint64 line = 0;
        QList<Property> properties;
        qsizetype bytes = 0;
        int binary = 0;
        bool tooLarge = false; // then it is skipped
    };
    // A card begun this deep in others ends the open one as unterminated.
    static constexpr qsizetype maxNesting = 4;

    ReaderOutput& out_;
    LogicalLine current_;
    bool atLineStart_ = true;
    bool afterCr_ = false; // a CR ended the last line: a LF or CR right after it adds none
    qint64 physicalLine_ = 0;

    bool inCard_ = false;
    OpenCard card_;
    QList<OpenCard> enclosing_;
    bool outsideReported_ = false;
};

// True when `line` is a header naming only columns of this program's CSV
// export, FirstName or LastName among them.
bool isCsvHeader(QByteArrayView line);

class CsvParser {
public:
    explicit CsvParser(ReaderOutput& out) : out_(out) {}
    void feed(QByteArrayView bytes);
    void finish();

private:
    void keep(const char* bytes, qsizetype size);
    void endField();
    void endRecord();
    void tooLarge();
    void takeRecord();

    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    ReaderOutput& out_;
    State state_ = State::FieldStart;
    QList<QByteArray> fields_;
    QByteArray field_;
    qsizetype recordBytes_ = 0;
    bool tooLong_ = false;
    qint64 line_ = 1;
    qint64 recordLine_ = 1;
    QList<int> columns_; // the header's column ids, in its order
    bool haveHeader_ = false;
};

} // namespace vcard::detail
