#include "picturefiles.h"
#include "picturesdialog.h"
#include "teststage.h"

#include <QAction>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QStringList Prizes{QStringLiteral("手機"), QStringLiteral("現金 6,000 元"),
                         QStringLiteral("耳機"), QStringLiteral("咖啡機"), QStringLiteral("餐券")};

QMap<int, Guest> guests()
{
    return {{7, Guest{QStringLiteral("林志明"), {}}}, {12, Guest{QStringLiteral("王美玲"), {}}}};
}

// Good, small, broken, matching nothing and no picture at all, in both folders.
void fillFolder(const QString &dir)
{
    writePicture(dir, QStringLiteral("logo.png"));
    writePicture(dir, QStringLiteral("prizes/1.png"));
    writePicture(dir, QStringLiteral("prizes/現金 6,000 元.jpg"));
    writePicture(dir, QStringLiteral("prizes/3.png"), {100, 80});
    writeBroken(dir, QStringLiteral("prizes/4.jpg"));
    writePicture(dir, QStringLiteral("prizes/9.png"));
    writeFile(QDir(dir).filePath(QStringLiteral("prizes/notes.txt")), "x");
    writePicture(dir, QStringLiteral("photos/7.jpg"));
    writePicture(dir, QStringLiteral("photos/8.png"), {120, 300});
    writePicture(dir, QStringLiteral("photos/王美玲.png"));
    writePicture(dir, QStringLiteral("photos/陌生人.png"));
}

void readAll(PicturesDialog &dialog)
{
    for (int i = 0; i < 1000 && dialog.readThumbnail(); ++i) {
    }
    QCOMPARE(dialog.pendingThumbnails(), 0);
}

bool hasThumbnail(const QTableWidgetItem *cell)
{
    return !cell->data(Qt::DecorationRole).value<QPixmap>().isNull();
}
} // namespace

class TestPicturesDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void rows_data();
    void rows();
    void problems();
    void opensBeforeReading();
    void recheck();
    void oneWindow();

private:
    QTemporaryDir m_dir;
    PicturesDialog::Tonight tonight() const { return {m_dir.path(), Prizes, guests()}; }
};

void TestPicturesDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    fillFolder(m_dir.path());
}

// Each prize and number with its picture as the report matched it: a thumbnail for a file
// that reads, even a small one; the reason for one that does not; 沒有圖片 for none.
void TestPicturesDialog::rows_data()
{
    QTest::addColumn<QString>("table"); // prizes or numbers
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("second"); // the prize, or the guest's name
    QTest::addColumn<QString>("cell");   // the picture's cell, the start of it
    QTest::addColumn<bool>("thumbnail");

    const auto row = [](const char *name, const char *table, int row, const char *second,
                        const char *cell, bool thumbnail) {
        QTest::newRow(name) << QString::fromUtf8(table) << row << QString::fromUtf8(second)
                            << QString::fromUtf8(cell) << thumbnail;
    };
    row("prize by line", "prizes", 0, "手機", "1.png", true);
    row("prize by its text", "prizes", 1, "現金 6,000 元", "現金 6,000 元.jpg", true);
    row("prize, small picture", "prizes", 2, "耳機", "3.png", true);
    row("prize, broken picture", "prizes", 3, "咖啡機", "4.jpg：", false);
    row("prize without", "prizes", 4, "餐券", "沒有圖片", false);
    row("number by number", "numbers", 6, "林志明", "7.jpg", true);
    row("number, small photo", "numbers", 7, "", "8.png", true);
    row("number by name", "numbers", 11, "王美玲", "王美玲.png", true);
    row("number without", "numbers", 0, "", "沒有圖片", false);
    row("last number", "numbers", 55, "", "沒有圖片", false);
}

void TestPicturesDialog::rows()
{
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(QString, second);
    QFETCH(QString, cell);
    QFETCH(bool, thumbnail);
    PicturesDialog dialog([this] { return tonight(); });
    readAll(dialog);
    QTableWidget *t = table == QLatin1String("prizes") ? dialog.prizeTable() : dialog.numberTable();
    QCOMPARE(t->rowCount(), table == QLatin1String("prizes") ? int(Prizes.size()) : 56);
    QCOMPARE(t->item(row, 0)->text(), QString::number(row + 1));
    QCOMPARE(t->item(row, 1)->text(), second);
    QVERIFY2(t->item(row, 2)->text().startsWith(cell), qPrintable(t->item(row, 2)->text()));
    const QSize size = t->item(row, 2)->data(Qt::DecorationRole).value<QPixmap>().size();
    QCOMPARE(!size.isEmpty(), thumbnail);
    QVERIFY(size.width() <= 96 && size.height() <= 96);
}

// What the report says, said again: its counts, and each file that cannot be used with its
// reason, named within the program's folder.
void TestPicturesDialog::problems()
{
    PicturesDialog dialog([this] { return tonight(); });
    const PictureReport &report = dialog.report();
    PictureReport counts = report;
    counts.problems.clear();
    QVERIFY2(dialog.summary().startsWith(counts.text()), qPrintable(dialog.summary()));
    QVERIFY(dialog.summary().endsWith(QStringLiteral("有 6 個問題，見下方。")));
    // Each file by its folder and name, as the start check names it, and the report's reason.
    const QSet<QString> expected{
        QStringLiteral("prizes/3.png"), QStringLiteral("prizes/4.jpg"),
        QStringLiteral("prizes/9.png"), QStringLiteral("prizes/notes.txt"),
        QStringLiteral("photos/8.png"), QStringLiteral("photos/陌生人.png")};
    QSet<QString> files;
    const QStringList lines = dialog.problems().split(u'\n');
    QCOMPARE(lines.size(), report.problems.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        files << QDir::fromNativeSeparators(lines[i].section(QStringLiteral("："), 0, 0));
        QVERIFY(lines[i].endsWith(QStringLiteral("：") + report.problems[i].text));
    }
    QCOMPARE(files, expected);
    // File names come from outside.
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        QCOMPARE(label->textFormat(), Qt::PlainText);
}

// Nothing is read while the window is made: the thumbnails follow, one a pass.
void TestPicturesDialog::opensBeforeReading()
{
    PicturesDialog dialog([this] { return tonight(); });
    QCOMPARE(dialog.pendingThumbnails(), 1 + 4 + 3);
    QVERIFY(dialog.logoLabel()->pixmap().isNull());
    QCOMPARE(dialog.logoLabel()->text(), QStringLiteral("讀取中…"));
    for (int row = 0; row < 4; ++row)
        QVERIFY(!hasThumbnail(dialog.prizeTable()->item(row, 2)));
    QVERIFY(dialog.readThumbnail());
    QVERIFY(!dialog.logoLabel()->pixmap().isNull());
    QCOMPARE(dialog.pendingThumbnails(), 7);
}

// 重新檢查 looks at the folder again and matches against the guest list in force then.
void TestPicturesDialog::recheck()
{
    QTemporaryDir dir;
    writePicture(dir.path(), QStringLiteral("photos/王美玲.png"));
    QMap<int, Guest> list;
    PicturesDialog dialog([&] { return PicturesDialog::Tonight{dir.path(), Prizes, list}; });
    QCOMPARE(dialog.report().numbersWith, 0);
    QCOMPARE(dialog.report().problems.size(), 1);
    QVERIFY(dialog.logoLabel()->text().startsWith(QStringLiteral("沒有")));

    list = guests();
    writePicture(dir.path(), QStringLiteral("prizes/5.png"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("recheck")), Qt::LeftButton);
    QCOMPARE(dialog.report().numbersWith, 1);
    QCOMPARE(dialog.report().prizesWith, 1);
    QCOMPARE(dialog.report().problems.size(), 0);
    QVERIFY(dialog.problems().isEmpty());
    readAll(dialog);
    QVERIFY(hasThumbnail(dialog.prizeTable()->item(4, 2)));
    QVERIFY(hasThumbnail(dialog.numberTable()->item(11, 2)));
}

// 檢視 → 圖片… opens one window over the board, raised again when asked again, with
// tonight's prizes and the program's folder.
void TestPicturesDialog::oneWindow()
{
    TestStage stage(Prizes);
    stage.setPictureFolder(m_dir.path());
    QVERIFY(!stage.picturesDialog());
    stage.viewMenu().picturesAction()->trigger();
    PicturesDialog *dialog = stage.picturesDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("圖片"));
    QCOMPARE(dialog->parentWidget(), &stage.boardWindow());
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->prizeTable()->rowCount(), int(Prizes.size()));
    // No guest list tonight: 王美玲.png names nobody.
    QCOMPARE(dialog->report().numbersWith, 2);
    // What the window finds, the night shows: a photo added since, once checked again.
    QDir folder(m_dir.path());
    QCOMPARE(stage.night().gallery().photo(7, {}), folder.filePath(QStringLiteral("photos/7.jpg")));
    writePicture(m_dir.path(), QStringLiteral("photos/30.png"));
    QVERIFY(stage.night().gallery().photo(30, {}).isEmpty());
    dialog->recheck();
    QCOMPARE(stage.night().gallery().photo(30, {}),
             folder.filePath(QStringLiteral("photos/30.png")));
    QFile::remove(folder.filePath(QStringLiteral("photos/30.png")));
    stage.viewMenu().picturesAction()->trigger();
    QCOMPARE(stage.picturesDialog(), dialog);
    QCOMPARE(stage.boardWindow().findChildren<PicturesDialog *>().size(), 1);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!stage.picturesDialog());
}

QTEST_MAIN(TestPicturesDialog)
#include "test_picturesdialog.moc"
