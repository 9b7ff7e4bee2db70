#include "picturesdialog.h"

#include "plainlabel.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QTableWidget *pictureTable(QWidget *parent, const QString &name, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(PicturesDialog::ThumbnailBox.height() + 6);
    // The prize's text or the name takes the room; the picture's column holds a thumbnail
    // and its file's name.
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    table->setColumnWidth(2, PicturesDialog::ThumbnailBox.width() + 160);
    table->setIconSize(PicturesDialog::ThumbnailBox);
    return table;
}

QTableWidgetItem *item(const QString &text)
{
    return new QTableWidgetItem(text);
}

const QString NoPicture = QStringLiteral("沒有圖片");
const QString Reading = QStringLiteral("讀取中…");
} // namespace

PicturesDialog::PicturesDialog(TonightProvider tonight, QWidget *parent)
    : QDialog(parent), m_tonight(std::move(tonight))
{
    setObjectName(QStringLiteral("PicturesDialog"));
    setWindowTitle(QStringLiteral("圖片"));
    m_summary = plainLabel(this, QStringLiteral("summary"));
    m_logo = plainLabel(this, QStringLiteral("logo"));
    m_logo->setMinimumSize(ThumbnailBox);
    m_logo->setAlignment(Qt::AlignCenter);
    auto *top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_logo);

    m_prizes =
        pictureTable(this, QStringLiteral("prizes"),
                     {QStringLiteral("項次"), QStringLiteral("獎品"), QStringLiteral("圖片")});
    m_numbers =
        pictureTable(this, QStringLiteral("numbers"),
                     {QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("照片")});
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(m_prizes, QStringLiteral("獎品"));
    tabs->addTab(m_numbers, QStringLiteral("號碼"));
    m_problems = new QPlainTextEdit(this);
    m_problems->setObjectName(QStringLiteral("problems"));
    m_problems->setReadOnly(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("關閉"));
    auto *again = buttons->addButton(QStringLiteral("重新檢查"), QDialogButtonBox::ActionRole);
    again->setObjectName(QStringLiteral("recheck"));
    connect(again, &QPushButton::clicked, this, &PicturesDialog::recheck);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs, 3);
    layout->addWidget(m_problems, 1);
    layout->addWidget(buttons);
    resize(620, 640);

    // One picture a pass: the window keeps answering while a folder of photos is read.
    m_reader.setInterval(0);
    connect(&m_reader, &QTimer::timeout, this, [this] {
        if (!readThumbnail())
            m_reader.stop();
    });
    recheck();
}

void PicturesDialog::recheck()
{
    m_reader.stop();
    m_pending.clear();
    m_read.clear();
    const Tonight tonight = m_tonight ? m_tonight() : Tonight();
    m_gallery = Gallery::scan(tonight.folder);
    m_report = PictureReport::make(m_gallery, tonight.prizeLines, tonight.guests);

    // The counts as the start check words them: the report without its problems.
    PictureReport counts = m_report;
    counts.problems.clear();
    QStringList summary{counts.text()};
    if (m_gallery.isEmpty())
        summary.prepend(
            QStringLiteral("程式旁邊沒有 %1、%2 資料夾，也沒有 logo.png。")
                .arg(QLatin1String(Gallery::PrizeFolder), QLatin1String(Gallery::PhotoFolder)));
    if (!m_report.problems.isEmpty())
        summary << QStringLiteral("有 %1 個問題，見下方。").arg(m_report.problems.size());
    m_summary->setText(summary.join(u'\n'));

    m_logo->setPixmap(QPixmap());
    const QString logo = m_gallery.logo();
    m_logo->setText(logo.isEmpty() ? QStringLiteral("沒有標誌") : Reading);
    if (!logo.isEmpty())
        m_pending.append({nullptr, 0, logo});

    m_prizes->setRowCount(int(tonight.prizeLines.size()));
    const QStringList prizePictures = m_gallery.prizePictures(tonight.prizeLines);
    for (int row = 0; row < tonight.prizeLines.size(); ++row) {
        const QString &text = tonight.prizeLines[row];
        const QString path = prizePictures.value(row);
        m_prizes->setItem(row, 0, item(QString::number(row + 1)));
        m_prizes->setItem(row, 1, item(text));
        m_prizes->setItem(row, 2, item(path.isEmpty() ? NoPicture : Reading));
        if (!path.isEmpty())
            m_pending.append({m_prizes, row, path});
    }
    m_numbers->setRowCount(Numbers);
    const QStringList photos = m_gallery.photos(tonight.guests);
    for (int n = 1; n <= Numbers; ++n) {
        const int row = n - 1;
        const QString name = tonight.guests.value(n).name;
        const QString path = photos.value(row);
        m_numbers->setItem(row, 0, item(QString::number(n)));
        m_numbers->setItem(row, 1, item(name));
        m_numbers->setItem(row, 2, item(path.isEmpty() ? NoPicture : Reading));
        if (!path.isEmpty())
            m_pending.append({m_numbers, row, path});
    }
    m_prizes->resizeColumnToContents(0);
    m_numbers->resizeColumnToContents(0);

    QStringList problems;
    for (const PictureProblem &p : m_report.problems)
        problems << QStringLiteral("%1：%2").arg(
            QDir::toNativeSeparators(QDir(tonight.folder).relativeFilePath(p.path)), p.text);
    m_problems->setPlainText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
    if (!m_pending.isEmpty())
        m_reader.start();
    Q_EMIT scanned(m_gallery);
}

bool PicturesDialog::readThumbnail()
{
    if (m_pending.isEmpty())
        return false;
    const Pending at = m_pending.takeFirst();
    auto found = m_read.constFind(at.path);
    if (found == m_read.constEnd()) {
        Thumbnail read;
        read.image = PictureReader::read(at.path, ThumbnailBox, &read.problem);
        if (read.image.isNull() && read.problem.isEmpty())
            read.problem = QStringLiteral("無法讀取");
        found = m_read.insert(at.path, read);
    }
    showThumbnail(*found, at);
    return true;
}

void PicturesDialog::showThumbnail(const Thumbnail &thumbnail, const Pending &at)
{
    const QImage &image = thumbnail.image;
    const QString &problem = thumbnail.problem;
    const QString name = QFileInfo(at.path).fileName();
    if (!at.table) {
        if (image.isNull())
            m_logo->setText(QStringLiteral("%1\n%2").arg(name, problem));
        else
            m_logo->setPixmap(QPixmap::fromImage(image));
        m_logo->setToolTip(name);
        return;
    }
    QTableWidgetItem *cell = at.table->item(at.row, 2);
    if (!cell)
        return;
    if (image.isNull()) {
        cell->setText(QStringLiteral("%1：%2").arg(name, problem));
        return;
    }
    cell->setText(name);
    cell->setData(Qt::DecorationRole, QPixmap::fromImage(image));
}

QString PicturesDialog::summary() const
{
    return m_summary->text();
}

QString PicturesDialog::problems() const
{
    return m_problems->toPlainText();
}
