#include "encodingguess.h"

#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <unicode/ucsdet.h>

#include <array>
#include <optional>

using namespace TextDecoding;

namespace {
// One way to read a file without a byte-order mark.
struct Reading
{
    enum Kind
    {
        Big5,
        Utf8,
        Gbk
    } kind;
    const char *icuName;
    QString text;
    bool valid = false;
    int score = 0;
};

// Chinese characters in common use, in either script: the first level of Big5 (0xA440 to
// 0xC67E) or of GB2312 (lead 0xB0 to 0xD7). A list read in the wrong Chinese encoding
// still gives Chinese characters, but mostly rare ones.
bool isCommonHan(char32_t u, QStringEncoder &big5, QStringEncoder &gb)
{
    const QString s = QString::fromUcs4(&u, 1);
    const QByteArray b = big5.encode(s);
    if (!big5.hasError() && b.size() == 2) {
        const uint code = uint(uchar(b[0])) << 8 | uchar(b[1]);
        if (code >= 0xA440 && code <= 0xC67E)
            return true;
    }
    const QByteArray g = gb.encode(s);
    return !gb.hasError() && g.size() == 2 && uchar(g[0]) >= 0xB0 && uchar(g[0]) <= 0xD7 &&
           uchar(g[1]) >= 0xA1;
}

bool isAsciiLetter(char32_t u)
{
    return (u >= U'a' && u <= U'z') || (u >= U'A' && u <= U'Z');
}

// -100 to 100 over the characters beyond ASCII: a common Chinese character, CJK
// punctuation, an accented letter inside a Latin word or an accent put on a Latin letter
// (as "ệ" is written decomposed) counts for, a rare Chinese character nothing, lone Latin
// letters and symbols against. A Chinese list read in the wrong encoding turns into the
// latter.
int characterScore(const QString &text)
{
    QStringEncoder big5("windows-950", QStringEncoder::Flag::Stateless);
    QStringEncoder gb("GB18030", QStringEncoder::Flag::Stateless);
    const QList<uint> chars = text.toUcs4();
    QHash<char32_t, bool> common;
    int count = 0;
    int sum = 0;
    bool onLatin = false; // the accents that follow sit on a Latin letter
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t u = chars[i];
        const bool latin = QChar::script(u) == QChar::Script_Latin && QChar::isLetter(u);
        const bool accent = onLatin && QChar::isMark(u);
        onLatin = latin || accent;
        if (u < 0x80)
            continue;
        ++count;
        const bool inWord = (i > 0 && isAsciiLetter(chars[i - 1])) ||
                            (i + 1 < chars.size() && isAsciiLetter(chars[i + 1]));
        if (QChar::script(u) == QChar::Script_Han) {
            // Encoding one character costs a conversion; a list repeats few thousand.
            auto known = common.constFind(u);
            if (known == common.cend())
                known = common.insert(u, isCommonHan(u, big5, gb));
            sum += *known ? 1 : 0;
        } else if ((u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF) ||
                   (u >= 0x3100 && u <= 0x312F))
            sum += 1;
        else if ((inWord && latin) || accent)
            sum += 1;
        else
            sum -= 1;
    }
    return count == 0 ? 0 : 100 * sum / count;
}

bool hasUnassigned(const QString &text)
{
    for (char32_t u : text.toUcs4())
        if (QChar::category(u) == QChar::Other_NotAssigned)
            return true;
    return false;
}

// What ICU's detector thinks of each encoding, 0 to 100.
void addDetectorConfidence(const QByteArray &bytes, QList<Reading> &readings)
{
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector *detector = ucsdet_open(&status);
    if (U_FAILURE(status))
        return;
    ucsdet_setText(detector, bytes.constData(), int32_t(qMin<qsizetype>(bytes.size(), INT32_MAX)),
                   &status);
    int32_t found = 0;
    const UCharsetMatch **matches = ucsdet_detectAll(detector, &found, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < found; ++i) {
        const char *name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status))
            break;
        for (Reading &r : readings)
            if (r.valid && qstrcmp(r.icuName, name) == 0)
                r.score += confidence;
    }
    ucsdet_close(detector);
}

int chineseCount(const QString &text)
{
    int n = 0;
    for (char32_t u : text.toUcs4())
        n += QChar::script(u) == QChar::Script_Han ? 1 : 0;
    return n;
}

// Big5 pairs as the decoder makes them: is one of them a character in common use?
bool hasCommonBig5(const QByteArray &line)
{
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const uint lead = uchar(line[i]);
        if (lead < 0x81)
            continue;
        const uint code = lead << 8 | uchar(line[++i]);
        if (code >= 0xA440 && code <= 0xC67E)
            return true;
    }
    return false;
}

// A list saved as Latin-1 / Windows-1252 has its accented letters one byte each, inside
// Latin words. Read as Big5 a pair of them, or one and the letter after it, becomes one
// rare Chinese character between the letters ("Größe" as "Gr廲e"). A Chinese line read
// that way gives symbols, or letters with no Latin letter beside them, or characters in
// common use ("龍" is "Às").
bool looksWestern(const QByteArray &line)
{
    if (hasCommonBig5(line))
        return false;
    QStringDecoder d("windows-1252", QStringDecoder::Flag::Stateless);
    if (!d.isValid())
        return false;
    const QList<uint> chars = QString(d.decode(line)).toUcs4();
    if (d.hasError())
        return false;
    int accented = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t u = chars[i];
        if (u < 0x80)
            continue;
        if (!QChar::isLetter(u) || QChar::script(u) != QChar::Script_Latin)
            return false;
        if (!(i > 0 && isAsciiLetter(chars[i - 1])) &&
            !(i + 1 < chars.size() && isAsciiLetter(chars[i + 1])))
            return false;
        ++accented;
    }
    return accented > 0;
}

// UTF-16 without its byte-order mark: each ASCII character (a line end too) has a NUL on
// the same side of its pair, and the whole reads cleanly that way. Only where one of its line
// ends, or a NUL in every pair, says so: a stray NUL in Big5 or UTF-8 is no such file.
bool isWideWithoutMark(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() % 2 != 0)
        return false;
    std::array<qsizetype, 2> nuls{0, 0}; // at even and at odd places
    for (qsizetype i = 0; i < bytes.size(); ++i)
        nuls[i % 2] += bytes[i] == '\0' ? 1 : 0;
    if ((nuls[0] == 0) == (nuls[1] == 0))
        return false;
    const bool le = nuls[1] > 0;
    QStringDecoder d(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                     QStringDecoder::Flag::Stateless);
    const QString text = d.decode(bytes);
    if (d.hasError() || !isPrintable(text))
        return false;
    return text.contains(u'\n') || text.contains(u'\r') || nuls[le ? 1 : 0] == bytes.size() / 2;
}

// A character a list is written in: printed ASCII, a line end or a tab, Chinese and its
// punctuation, Bopomofo, full-width forms, Latin letters.
bool isListCharacter(char32_t u)
{
    if (u == U'\t' || u == U'\r' || u == U'\n' || (u >= 0x20 && u < 0x7F))
        return true;
    if (QChar::category(u) == QChar::Other_NotAssigned)
        return false;
    return QChar::script(u) == QChar::Script_Han || (u >= 0x3000 && u <= 0x303F) ||
           (u >= 0x3105 && u <= 0x312F) || (u >= 0xFF01 && u <= 0xFFEF) ||
           (QChar::script(u) == QChar::Script_Latin && QChar::isLetter(u));
}

// Nine in ten characters of a list, and no character that is not one.
bool readsAsList(const QByteArray &bytes, QStringDecoder::Encoding e)
{
    QStringDecoder d(e, QStringDecoder::Flag::Stateless);
    const QString text = d.decode(bytes);
    if (d.hasError() || !isPrintable(text))
        return false;
    qsizetype listed = 0;
    qsizetype all = 0;
    for (char32_t u : text.toUcs4()) {
        if (u == 0 || QChar::category(u) == QChar::Other_NotAssigned ||
            (QChar::category(u) == QChar::Other_Control && !isListCharacter(u)))
            return false;
        listed += isListCharacter(u) ? 1 : 0;
        ++all;
    }
    return all > 0 && listed * 10 >= all * 9;
}

// UTF-16 without its mark whose byte order shows: it has NULs (ASCII's other half, which no
// Big5 or UTF-8 text has) on one side of its pairs, and it reads as a list that way.
std::optional<Encoding> wideByItsOrder(const QByteArray &bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return std::nullopt;
    // ASCII's NULs are the high bytes: at odd places in LE, even ones in BE.
    std::array<qsizetype, 2> nuls{0, 0};
    for (qsizetype i = 0; i < bytes.size(); ++i)
        nuls[i % 2] += bytes[i] == '\0' ? 1 : 0;
    const bool le = nuls[1] > nuls[0] && readsAsList(bytes, QStringDecoder::Utf16LE);
    const bool be = nuls[0] > nuls[1] && readsAsList(bytes, QStringDecoder::Utf16BE);
    if (le == be)
        return std::nullopt;
    return le ? Encoding::Utf16LE : Encoding::Utf16BE;
}

// The first line that reads as a Western list, or 0.
int westernLine(const QByteArray &bytes)
{
    const QList<QByteArray> lines = splitLines(bytes);
    for (qsizetype n = 0; n < lines.size(); ++n)
        if (looksWestern(lines[n]))
            return int(n) + 1;
    return 0;
}
} // namespace

EncodingGuess::Guess EncodingGuess::guess(const QByteArray &bytes)
{
    auto readable = [](Encoding e) {
        Guess g;
        g.encoding = e;
        return g;
    };
    // Its NULs would be refused as damage, or its pairs taken for Latin-1 letters.
    if (const std::optional<Encoding> wide = wideByItsOrder(bytes))
        return readable(*wide);
    if (isWideWithoutMark(bytes)) {
        Guess g;
        g.kind = Guess::WideWithoutMark;
        return g;
    }
    if (isAscii(bytes))
        return readable(Encoding::Utf8);
    QList<Reading> readings{
        {Reading::Big5, "Big5", {}}, {Reading::Utf8, "UTF-8", {}}, {Reading::Gbk, "GB18030", {}}};
    int valid = 0;
    for (Reading &r : readings) {
        bool wellFormed = true;
        QStringDecoder d;
        switch (r.kind) {
        case Reading::Big5:
            wellFormed = isWellFormedBig5(bytes);
            d = big5Decoder();
            break;
        case Reading::Utf8:
            d = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            break;
        case Reading::Gbk:
            wellFormed = isWellFormedGbk(bytes);
            d = QStringDecoder("GB18030", QStringDecoder::Flag::Stateless);
            break;
        }
        if (!wellFormed || !d.isValid())
            continue;
        r.text = d.decode(bytes);
        if (d.hasError() || !isPrintable(r.text))
            continue;
        // Some Big5 is valid UTF-8 by accident, naming characters no one has assigned.
        if (r.kind == Reading::Utf8 && hasUnassigned(r.text))
            continue;
        r.valid = true;
        r.score = characterScore(r.text);
        ++valid;
    }
    // UTF-8 never pairs its bytes the way Latin-1 letters do; the others may.
    if (!readings[1].valid) {
        if (const int line = westernLine(bytes)) {
            Guess g;
            g.kind = Guess::Western;
            g.line = line;
            return g;
        }
    }
    // ICU sees LF ends only, so that the guess does not hang on how lines end.
    if (valid > 1) {
        QByteArray lf = bytes;
        lf.replace("\r\n", "\n").replace('\r', '\n');
        addDetectorConfidence(lf, readings);
    }
    const Reading *best = nullptr;
    for (const Reading &r : readings)
        if (r.valid && (!best || r.score > best->score))
            best = &r;
    // Nothing reads cleanly: the Big5 rules then name the first bad line.
    if (!best)
        return readable(Encoding::Big5);
    switch (best->kind) {
    case Reading::Utf8:
        return readable(Encoding::Utf8);
    case Reading::Gbk:
        // A few characters cannot tell Big5 from GBK; the list is then taken for what
        // Traditional Chinese Windows writes.
        if (readings[0].valid && chineseCount(best->text) < 4)
            return readable(Encoding::Big5);
        if (characterScore(best->text) > 0) {
            Guess g;
            g.kind = Guess::Simplified;
            return g;
        }
        return readable(Encoding::Big5);
    case Reading::Big5:
        break;
    }
    return readable(Encoding::Big5);
}
