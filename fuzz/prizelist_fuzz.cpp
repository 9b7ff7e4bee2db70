#include "prizelist.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Properties every prize list must keep, whatever bytes it is made of. A broken one
// aborts, so libFuzzer keeps the input as a crash.
namespace {
using PrizeList::Error;
using PrizeList::Result;

[[noreturn]] void broken(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "prizelist_fuzz: %s\ninput: %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

// What a projector cannot show, or what would split a prize in two.
bool unfit(char32_t u)
{
    return u == 0 || u == U'\r' || u == U'\n' || u == QChar::ReplacementCharacter ||
           QChar::category(u) == QChar::Other_PrivateUse;
}

// Every line end as a lone LF. Replacing only CR LF is not enough: in "a CR CR LF" the
// lone CR and the LF would meet and become one line end.
QByteArray withLfEnds(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            out.append(bytes[i]);
            continue;
        }
        out.append('\n');
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    return out;
}

bool sameResult(const Result &a, const Result &b)
{
    return a.lines == b.lines && a.error == b.error && a.errorLine == b.errorLine &&
           a.message == b.message;
}

// An accepted file read as UTF-8 holds exactly the text of its lines: nothing lost,
// nothing added, wherever the line ends fall. Without a byte order mark, text naming
// unassigned characters is taken for Big5 instead.
void checkRoundTrip(const QByteArray &bytes, const Result &r)
{
    QByteArray body = bytes;
    const bool bom = body.startsWith("\xEF\xBB\xBF");
    if (bom)
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(withLfEnds(body));
    if (utf8.hasError())
        return;
    if (!bom)
        for (char32_t u : text.toUcs4())
            if (QChar::category(u) == QChar::Other_NotAssigned)
                return;
    QStringList expected;
    if (!text.isEmpty()) {
        if (text.endsWith(u'\n'))
            text.chop(1);
        expected = text.split(u'\n');
    }
    if (r.lines != expected)
        broken("accepted UTF-8 text is not the text of its lines", bytes);
}

void check(const QByteArray &bytes)
{
    const QString path = QStringLiteral("/party/gift.txt");
    const Result r = PrizeList::parse(bytes, path);

    if (r.ok() != (r.error == Error::None))
        broken("ok() disagrees with the error", bytes);
    if (r.lines.size() > PrizeList::MaxLines)
        broken("more than 56 lines", bytes);
    if (!sameResult(r, PrizeList::parse(bytes, path)))
        broken("two parses of the same bytes differ", bytes);

    if (!r.ok()) {
        if (!r.lines.isEmpty())
            broken("lines kept on error", bytes);
        if (r.message.isEmpty() || !r.message.contains(QStringLiteral("gift.txt")))
            broken("error message does not name the file", bytes);
        if (r.error == Error::Missing || r.error == Error::Unreadable || r.error == Error::TooLarge)
            broken("file error from bytes already read", bytes);
        const bool perLine = r.error == Error::NulByte || r.error == Error::BadText;
        if (perLine != (r.errorLine >= 1 && r.errorLine <= PrizeList::MaxLines))
            broken("error line out of range", bytes);
        if (r.error == Error::NulByte && !bytes.contains('\0'))
            broken("NUL reported where there is none", bytes);
        return;
    }

    if (bytes.contains('\0'))
        broken("NUL byte accepted", bytes);
    if (!r.message.isEmpty() || r.errorLine != 0)
        broken("success carries an error", bytes);
    for (const QString &line : r.lines) {
        for (char32_t u : line.toUcs4()) // unpaired surrogates come back as U+FFFD
            if (unfit(u))
                broken("accepted line holds CR, LF, NUL, U+FFFD or a private-use character", bytes);
    }
    if (PrizeList::parse(withLfEnds(bytes), path).lines != r.lines)
        broken("the same file with LF line ends reads differently", bytes);
    checkRoundTrip(bytes, r);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
