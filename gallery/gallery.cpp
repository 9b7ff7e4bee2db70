#include "gallery.h"

#include "board.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr int Numbers = Board::Cells;

enum class Kind
{
    Picture,
    Heic,
    Other
};

Kind kindOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    static const QStringList pictures{QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("png"), QStringLiteral("bmp"),
                                      QStringLiteral("gif")};
    if (pictures.contains(ext))
        return Kind::Picture;
    if (ext == QLatin1String("heic") || ext == QLatin1String("heif"))
        return Kind::Heic;
    return Kind::Other;
}

QString stemOf(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// "7", "07" and a full-width "７" are 7; nothing when the stem is no whole number.
std::optional<int> numberOf(const QString &stem)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString s = stem.normalized(QString::NormalizationForm_KC).trimmed();
    if (!digits.match(s).hasMatch())
        return std::nullopt;
    return s.toInt();
}

// Names are compared in NFC, Latin without case, without blanks and without the characters
// Windows cannot hold in a file name (/ \ : * ? " < > |): "iPhone 15 / 128GB" is matched
// by "iPhone 15 128GB.jpg" and by "iPhone15128GB.jpg". Blanks never tell two prizes apart.
QString keyOf(const QString &text)
{
    const QString nfc = text.normalized(QString::NormalizationForm_C).toCaseFolded();
    QString key;
    key.reserve(nfc.size());
    for (QChar c : nfc)
        if (!c.isSpace() && !QStringView(u"/\\:*?\"<>|").contains(c))
            key += c;
    return key;
}

struct File
{
    QString path;
    Kind kind;
    std::optional<int> number;
    QString key;
};

QList<File> filesOf(const QStringList &paths)
{
    QList<File> files;
    files.reserve(paths.size());
    for (const QString &path : paths) {
        const QString stem = stemOf(path);
        const Kind kind = kindOf(path);
        const std::optional<int> number = numberOf(stem);
        files.append({path, kind, number, number ? QString() : keyOf(stem)});
    }
    return files;
}

// Which file goes with which prize. The prize drawn is known by its text alone, so a text on
// several lines has one picture: that of its first line with a numbered one, else the one
// named by the text. A number wins over the text; of two files for one thing, the first by
// name is used.
struct PrizeMatch
{
    QList<QString> keys;           // a line's key; empty for a blank line
    QMap<int, QString> byNumber;   // line (1-based) → the file used for it
    QMap<QString, QString> byText; // key → the file named by that text
    QList<PictureProblem> problems;
};

PrizeMatch matchPrizes(const QStringList &paths, const QStringList &lines)
{
    PrizeMatch m;
    for (const QString &line : lines)
        m.keys.append(keyOf(line));
    const QList<File> files = filesOf(paths);
    QList<const File *> texts;
    for (const File &f : files) {
        if (f.kind == Kind::Heic) {
            m.problems.append({f.path, Gallery::heicAdvice()});
        } else if (f.kind == Kind::Other) {
            m.problems.append({f.path, QStringLiteral("不是圖片（請用 JPG、PNG、BMP 或 GIF）")});
        } else if (f.number) {
            const int n = *f.number;
            if (n < 1 || n > m.keys.size() || m.keys[n - 1].isEmpty())
                m.problems.append({f.path, QStringLiteral("沒有這一行獎品")});
            else if (m.byNumber.contains(n))
                m.problems.append(
                    {f.path, QStringLiteral("同一個獎品已用 %1").arg(nameOf(m.byNumber[n]))});
            else
                m.byNumber.insert(n, f.path);
        } else if (f.key.isEmpty() || !m.keys.contains(f.key)) {
            m.problems.append({f.path, QStringLiteral("獎品清單裡沒有這個獎品")});
        } else if (m.byText.contains(f.key)) {
            m.problems.append(
                {f.path, QStringLiteral("同一個獎品已用 %1").arg(nameOf(m.byText[f.key]))});
        } else {
            m.byText.insert(f.key, f.path);
            texts.append(&f);
        }
    }
    // A numbered picture hidden by an earlier line of the same text, and a text picture
    // that every line's number overrides, are never shown.
    QMap<QString, QString> firstNumbered;
    for (auto it = m.byNumber.cbegin(); it != m.byNumber.cend(); ++it) {
        const QString &key = m.keys[it.key() - 1];
        if (firstNumbered.contains(key))
            m.problems.append({it.value(), QStringLiteral("與第 %1 行是同一個獎品，已用 %2")
                                               .arg(m.keys.indexOf(key) + 1)
                                               .arg(nameOf(firstNumbered[key]))});
        else
            firstNumbered.insert(key, it.value());
    }
    for (const File *f : texts)
        if (firstNumbered.contains(f->key))
            m.problems.append({f->path, QStringLiteral("同一個獎品已用 %1（號碼優先）")
                                            .arg(nameOf(firstNumbered[f->key]))});
    return m;
}

QString prizeFor(const PrizeMatch &m, const QString &key)
{
    if (key.isEmpty())
        return {};
    for (qsizetype i = 0; i < m.keys.size(); ++i)
        if (m.keys[i] == key && m.byNumber.contains(int(i) + 1))
            return m.byNumber[int(i) + 1];
    return m.byText.value(key);
}

// Regular files only, symlinks followed; nothing is opened. Hidden files (a Mac's "._1.jpg")
// and Windows' own are passed over.
QStringList listed(const QString &folder, QList<PictureProblem> &skipped)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QStringList files;
    for (const QFileInfo &fi : entries) {
        const QString name = fi.fileName();
        if (name.startsWith(u'.') || name.compare(u"Thumbs.db", Qt::CaseInsensitive) == 0 ||
            name.compare(u"desktop.ini", Qt::CaseInsensitive) == 0)
            continue;
        if (fi.isFile())
            files.append(fi.filePath());
        else if (kindOf(name) != Kind::Other)
            skipped.append({fi.filePath(), QStringLiteral("不是檔案（資料夾或特殊檔案）")});
    }
    return files;
}

QStringList capped(const QString &folder, QStringList names, QList<PictureProblem> &skipped)
{
    std::sort(names.begin(), names.end());
    if (names.size() > Gallery::MaxFiles) {
        names.resize(Gallery::MaxFiles);
        skipped.append(
            {folder, QStringLiteral("超過 %1 個檔案，只看前 %1 個").arg(Gallery::MaxFiles)});
    }
    return names;
}
} // namespace

Gallery Gallery::scan(const QString &dir)
{
    QList<PictureProblem> skipped;
    const QDir d(dir);
    QStringList prizes = listed(d.filePath(QLatin1String(PrizeFolder)), skipped);
    QStringList photos = listed(d.filePath(QLatin1String(PhotoFolder)), skipped);
    for (QString &p : prizes)
        p = QFileInfo(p).fileName();
    for (QString &p : photos)
        p = QFileInfo(p).fileName();
    // logo.png before logo.jpg before logo.jpeg, in any case.
    QString logo;
    int best = 3;
    const QStringList order{QStringLiteral("logo.png"), QStringLiteral("logo.jpg"),
                            QStringLiteral("logo.jpeg")};
    const QFileInfoList top =
        d.entryInfoList({QStringLiteral("logo.*")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &fi : top) {
        const int rank = int(order.indexOf(fi.fileName().toLower()));
        if (rank >= 0 && rank < best && fi.isFile()) {
            best = rank;
            logo = fi.fileName();
        }
    }
    Gallery g(dir, prizes, photos, logo);
    g.m_skipped = skipped + g.m_skipped;
    return g;
}

Gallery::Gallery(const QString &dir, const QStringList &prizeFiles, const QStringList &photoFiles,
                 const QString &logoFile)
    : m_dir(dir)
{
    const QDir d(dir);
    const QString prizes = d.filePath(QLatin1String(PrizeFolder));
    const QString photos = d.filePath(QLatin1String(PhotoFolder));
    for (const QString &name : capped(prizes, prizeFiles, m_skipped))
        m_prizeFiles.append(QDir(prizes).filePath(name));
    for (const QString &name : capped(photos, photoFiles, m_skipped))
        m_photoFiles.append(QDir(photos).filePath(name));
    if (!logoFile.isEmpty())
        m_logoFile = d.filePath(logoFile);
}

QString Gallery::heicAdvice()
{
    return QStringLiteral("iPhone 的 HEIC 相片無法讀取：請在 iPhone 的「設定 → 相機 → "
                          "格式」選「最相容」，或把相片另存成 JPEG。");
}

bool Gallery::isEmpty() const
{
    return m_prizeFiles.isEmpty() && m_photoFiles.isEmpty() && m_logoFile.isEmpty() &&
           m_skipped.isEmpty();
}

QString Gallery::prizePicture(const QStringList &prizeLines, const QString &prizeText) const
{
    return prizeFor(matchPrizes(m_prizeFiles, prizeLines), keyOf(prizeText));
}

namespace {
QString photoIn(const QList<File> &files, int number, const QString &name)
{
    if (number >= 1 && number <= Numbers)
        for (const File &f : files)
            if (f.kind == Kind::Picture && f.number == number)
                return f.path;
    const QString key = keyOf(name);
    if (!key.isEmpty())
        for (const File &f : files)
            if (f.kind == Kind::Picture && !f.number && f.key == key)
                return f.path;
    return {};
}
} // namespace

QString Gallery::photo(int number, const QString &name) const
{
    return photoIn(filesOf(m_photoFiles), number, name);
}

QStringList Gallery::prizePictures(const QStringList &prizeLines) const
{
    const PrizeMatch m = matchPrizes(m_prizeFiles, prizeLines);
    QStringList out;
    for (const QString &key : m.keys)
        out << prizeFor(m, key);
    return out;
}

QStringList Gallery::photos(const QMap<int, Guest> &guests) const
{
    const QList<File> files = filesOf(m_photoFiles);
    QStringList out;
    for (int n = 1; n <= Numbers; ++n)
        out << photoIn(files, n, guests.value(n).name);
    return out;
}

QString Gallery::logo() const
{
    return m_logoFile;
}

QStringList Gallery::prizeFiles() const
{
    return m_prizeFiles;
}

QStringList Gallery::photoFiles() const
{
    return m_photoFiles;
}

QList<PictureProblem> Gallery::unmatched(const QStringList &prizeLines,
                                         const QMap<int, Guest> &guests) const
{
    QList<PictureProblem> out = m_skipped;
    out += matchPrizes(m_prizeFiles, prizeLines).problems;

    QMap<QString, QList<int>> numbersOf; // a name's key → the numbers it stands for
    for (auto it = guests.cbegin(); it != guests.cend(); ++it)
        if (!keyOf(it.value().name).isEmpty())
            numbersOf[keyOf(it.value().name)].append(it.key());
    QMap<int, QString> byNumber;
    QMap<QString, QString> byName;
    for (const File &f : filesOf(m_photoFiles)) {
        if (f.kind == Kind::Heic) {
            out.append({f.path, Gallery::heicAdvice()});
        } else if (f.kind == Kind::Other) {
            out.append({f.path, QStringLiteral("不是圖片（請用 JPG、PNG、BMP 或 GIF）")});
        } else if (f.number) {
            if (*f.number < 1 || *f.number > Numbers)
                out.append({f.path, QStringLiteral("沒有這個號碼")});
            else if (byNumber.contains(*f.number))
                out.append(
                    {f.path, QStringLiteral("同一個號碼已用 %1").arg(nameOf(byNumber[*f.number]))});
            else
                byNumber.insert(*f.number, f.path);
        } else if (guests.isEmpty()) {
            out.append({f.path, QStringLiteral("沒有名單，只能用號碼命名")});
        } else if (!numbersOf.contains(f.key)) {
            out.append({f.path, QStringLiteral("名單裡沒有這個名字")});
        } else if (byName.contains(f.key)) {
            out.append({f.path, QStringLiteral("同一個人已用 %1").arg(nameOf(byName[f.key]))});
        } else {
            byName.insert(f.key, f.path);
        }
    }
    for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
        const QList<int> &numbers = numbersOf[it.key()];
        QStringList bare;
        for (int n : numbers)
            if (!byNumber.contains(n))
                bare.append(QString::number(n));
        if (bare.isEmpty())
            out.append({it.value(), QStringLiteral("同一個人已用 %1（號碼優先）")
                                        .arg(nameOf(byNumber[numbers.first()]))});
        else if (numbers.size() > 1)
            out.append({it.value(), QStringLiteral("名單裡有 %1 個人同名，%2 號都會用這張相片；"
                                                   "請用號碼命名")
                                        .arg(numbers.size())
                                        .arg(bare.join(u'、'))});
    }
    return out;
}
