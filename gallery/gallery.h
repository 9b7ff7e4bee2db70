#pragma once

#include "guest.h"

#include <QMap>
#include <QString>
#include <QStringList>

// A picture file that cannot be used, and why, in the operator's words.
struct PictureProblem
{
    QString path;
    QString text;
    bool operator==(const PictureProblem &) const = default;
};

// The pictures beside the program, by name only (nothing here reads a picture): prizes/ holds
// one per prize, named by its line in the list ("1.jpg", "07.png") or by the prize's own text
// ("現金 6,000 元.jpg"); photos/ one per winner, named by number ("7.jpg") or by the guest's
// name in the list ("王美玲.jpg"); logo.png or logo.jpg is the company's logo.
class Gallery
{
public:
    static constexpr const char *PrizeFolder = "prizes";
    static constexpr const char *PhotoFolder = "photos";
    // More files than that in a folder are not looked at: the first ones by name are.
    static constexpr int MaxFiles = 500;

    Gallery() = default;
    // What lies in dir's folders: regular files only (no folder, FIFO or device), at most
    // MaxFiles each; nothing is opened.
    static Gallery scan(const QString &dir);
    // The same from names, as a folder would list them.
    Gallery(const QString &dir, const QStringList &prizeFiles, const QStringList &photoFiles,
            const QString &logoFile = {});

    bool isEmpty() const;
    // Full paths, or nothing.
    QString prizePicture(const QStringList &prizeLines, const QString &prizeText) const;
    QString photo(int number, const QString &name) const;
    // The same for every line, and for every number 1..56, matched once.
    QStringList prizePictures(const QStringList &prizeLines) const;
    QStringList photos(const QMap<int, Guest> &guests) const;
    QString logo() const;
    QStringList prizeFiles() const; // full paths, sorted
    QStringList photoFiles() const;
    // Names that match no prize or guest, or one already matched by another file; files that
    // are no picture by their name (a HEIC says how to save it as JPEG).
    QList<PictureProblem> unmatched(const QStringList &prizeLines,
                                    const QMap<int, Guest> &guests) const;
    // Why an iPhone's HEIC photo is not shown, and how to save it as JPEG.
    static QString heicAdvice();

private:
    QString m_dir;
    QStringList m_prizeFiles;
    QStringList m_photoFiles;
    QString m_logoFile;
    // What scan() found under a picture's name that is no file (a folder, a FIFO), and
    // folders with more than MaxFiles.
    QList<PictureProblem> m_skipped;
};
