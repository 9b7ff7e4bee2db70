#pragma once

#include "board.h"
#include "gallery.h"
#include "picturereader.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

// "圖片": the pictures beside the program as tonight sees them — the counts, the logo, each
// prize and number with its picture or none, and each file that cannot be used and why.
// Thumbnails are read a few at a time after the window shows, so a folder of camera photos
// never holds it closed.
class PicturesDialog : public QDialog
{
    Q_OBJECT
public:
    // What the pictures are matched against, asked again by 重新檢查: the guest list may
    // have changed meanwhile.
    struct Tonight
    {
        QString folder;
        QStringList prizeLines;
        QMap<int, Guest> guests;
    };
    using TonightProvider = std::function<Tonight()>;

    static constexpr QSize ThumbnailBox{96, 96};
    static constexpr int Numbers = Board::Cells;

    explicit PicturesDialog(TonightProvider tonight, QWidget *parent = nullptr);

    // Scans the folder again and shows what it holds.
    void recheck();

    const Gallery &gallery() const { return m_gallery; }
    const PictureReport &report() const { return m_report; }
    QString summary() const;
    QString problems() const;
    QTableWidget *prizeTable() const { return m_prizes; }
    QTableWidget *numberTable() const { return m_numbers; }
    QLabel *logoLabel() const { return m_logo; }
    // Thumbnails still to read; tests read them with readThumbnail() instead of waiting.
    int pendingThumbnails() const { return int(m_pending.size()); }
    // Reads the next thumbnail; false when none was left.
    bool readThumbnail();

Q_SIGNALS:
    // A scan done: what the folder holds now.
    void scanned(const Gallery &gallery);

private:
    struct Pending
    {
        QTableWidget *table = nullptr; // none: the logo
        int row = 0;
        QString path;
    };
    struct Thumbnail
    {
        QImage image;
        QString problem;
    };
    void showThumbnail(const Thumbnail &thumbnail, const Pending &at);

    TonightProvider m_tonight;
    Gallery m_gallery;
    PictureReport m_report;
    QLabel *m_summary = nullptr;
    QLabel *m_logo = nullptr;
    QTableWidget *m_prizes = nullptr;
    QTableWidget *m_numbers = nullptr;
    QPlainTextEdit *m_problems = nullptr;
    QList<Pending> m_pending;
    // A file shown twice (one photo for two numbers) is read once.
    QHash<QString, Thumbnail> m_read;
    QTimer m_reader;
};
