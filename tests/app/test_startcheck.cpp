#include "files.h"
#include "guestbook.h"
#include "guestlistdialog.h"
#include "night.h"
#include "picturefiles.h"
#include "picturereader.h"
#include "prizelist.h"
#include "prompt.h"
#include "random.h"
#include "startcheck.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>

class TestStartCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup()
    {
        Prompt::setConfirmHandler({});
        Prompt::setRefuseHandler({});
    }
    void asks_data();
    void asks();
    void guestLists_data();
    void guestLists();
    void templates();
    void boxes_data();
    void boxes();
    void fileWarning();
    void pictures_data();
    void pictures();
};

void TestStartCheck::asks_data()
{
    QTest::addColumn<QStringList>("prizes");
    QTest::addColumn<bool>("yes");      // the operator's answer, if asked
    QTest::addColumn<QString>("asked"); // empty: no question
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("guests"); // what the guest list lacks

    QStringList full;
    for (int i = 1; i <= 56; ++i)
        full << QStringLiteral("獎品 %1").arg(i);
    QStringList spoilt = full.mid(0, 40);
    spoilt[11] = QStringLiteral("精美紀念獎 ");
    const QString question =
        QStringLiteral("獎品清單只有 40 項，另外 16 張卡會抽出空白獎品。\n"
                       "第 12 行的「紀念獎」後面有空白，這一項不會算紀念獎。\n\n"
                       "要照這份清單開始抽獎嗎?");

    const QString guests = QStringLiteral("名單 names.csv 有 2 列有問題。");
    QTest::newRow("full list opens at once") << full << false << QString() << true << QString();
    QTest::newRow("是 goes on") << spoilt << true << question << true << QString();
    QTest::newRow("否 stops") << spoilt << false << question << false << QString();
    // The guest list's own box has OK alone: Enter (the remote's Next) goes on.
    QTest::newRow("guest list's problems, told, and on")
        << full << false << QString() << true << guests;
    QTest::newRow("guest list's problems after 是") << spoilt << true << question << true << guests;
    QTest::newRow("empty list, 否")
        << QStringList() << false
        << QStringLiteral(
               "獎品清單只有 0 項，另外 56 張卡會抽出空白獎品。\n\n要照這份清單開始抽獎嗎?")
        << false << guests;
}

void TestStartCheck::asks()
{
    QFETCH(QStringList, prizes);
    QFETCH(bool, yes);
    QFETCH(QString, asked);
    QFETCH(bool, goesOn);
    QFETCH(QString, guests);
    QStringList texts;
    Prompt::setConfirmHandler([&](QWidget *, const QString &text) {
        texts << text;
        return yes;
    });
    QStringList told;
    Prompt::setRefuseHandler([&](QWidget *, const QString &text) { told << text; });
    QCOMPARE(StartCheck::accepted(prizes, nullptr, {}, guests), goesOn);
    QCOMPARE(texts, asked.isEmpty() ? QStringList() : QStringList{asked});
    // Told only when the night goes on.
    QCOMPARE(told.size(), int(goesOn && !guests.isEmpty()));
    if (!told.isEmpty())
        QVERIFY(told[0].startsWith(guests));
}

// The list chosen on an earlier night while it names someone, else the one beside the
// program, and the start check says why; a file chosen that names nobody never replaces the
// list in force, nor the one remembered.
void TestStartCheck::guestLists_data()
{
    QTest::addColumn<QString>("remembered"); // a file of the folder, or nothing
    QTest::addColumn<QString>("chosen");     // then chosen in 名單…, or nothing
    QTest::addColumn<QString>("named");      // who 7 is in the end
    QTest::addColumn<QString>("told");       // what the start check says (the start of it)
    QTest::addColumn<QString>("kept");       // the file remembered in the end

    const char *fallback = "上次選的名單無法使用。";
    const QList<std::array<const char *, 6>> rows = {
        {"beside the program", "", "", "王美玲", "", ""},
        {"remembered", "usb.csv", "", "林志明", "", "usb.csv"},
        {"remembered, stick gone", "gone.csv", "", "王美玲", fallback, "gone.csv"},
        {"remembered, names nobody", "nobody.csv", "", "王美玲", fallback, "nobody.csv"},
        {"remembered, a folder", "folder.csv", "", "王美玲", fallback, "folder.csv"},
        {"chosen", "", "usb.csv", "林志明", "", "usb.csv"},
        {"chosen, names nobody", "", "nobody.csv", "王美玲", "", ""},
        {"chosen, a folder", "usb.csv", "folder.csv", "林志明", "", "usb.csv"},
    };
    for (const auto &[name, remembered, chosen, named, told, kept] : rows)
        QTest::newRow(name) << QString::fromUtf8(remembered) << QString::fromUtf8(chosen)
                            << QString::fromUtf8(named) << QString::fromUtf8(told)
                            << QString::fromUtf8(kept);
}

void TestStartCheck::guestLists()
{
    QFETCH(QString, remembered);
    QFETCH(QString, chosen);
    QFETCH(QString, named);
    QFETCH(QString, told);
    QFETCH(QString, kept);
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("names.csv")), "號碼,姓名\n7,王美玲\n");
    writeFile(dir.filePath(QStringLiteral("usb.csv")), "號碼,姓名\n7,林志明\n");
    writeFile(dir.filePath(QStringLiteral("nobody.csv")), "號碼,姓名\n");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.csv")));
    const auto path = [&](const QString &name) {
        return name.isEmpty() ? QString() : dir.filePath(name);
    };
    GuestBook::remember(path(remembered));
    QStringList boxes;
    Prompt::setRefuseHandler([&](QWidget *, const QString &text) { boxes << text; });
    Random random;
    Night night(QStringList(56, QStringLiteral("獎品")), random);
    QWidget desk;
    GuestBook book(night, desk);
    book.loadAtStart(dir.path());
    if (told.isEmpty())
        QCOMPARE(book.warning(), QString());
    else
        QVERIFY2(book.warning().startsWith(told), qPrintable(book.warning()));
    if (!chosen.isEmpty()) {
        const Guest before = night.guest(7);
        const bool replaced = book.choose(path(chosen));
        QCOMPARE(replaced, night.guest(7) != before);
        // A refusal says what stays.
        QCOMPARE(boxes.size(), int(!replaced));
        if (!replaced)
            QVERIFY(boxes[0].contains(QStringLiteral("照舊使用原來的名單")));
    }
    QCOMPARE(night.guest(7).name, named);
    QCOMPARE(GuestBook::remembered(), path(kept));
}

// Which of gift.txt and gift.xlsx was read comes first, above the list's own warnings.
void TestStartCheck::fileWarning()
{
    QTemporaryDir dir;
    for (const char *name : {"gift.txt", "gift.xlsx"})
        writeFile(dir.filePath(QLatin1String(name)), "x");
    QStringList texts;
    Prompt::setConfirmHandler([&](QWidget *, const QString &text) {
        texts << text;
        return true;
    });
    QVERIFY(StartCheck::accepted(QStringList(55, QStringLiteral("獎品")), nullptr,
                                 {PrizeList::choose(dir.path()).warning}));
    QCOMPARE(texts, QStringList{QStringLiteral(
                        "程式資料夾裡同時有 gift.txt 和 gift.xlsx，這次用的是 gift.txt，gift.xlsx "
                        "沒有讀。\n獎品清單只有 55 項，另外 1 張卡會抽出空白獎品。\n\n"
                        "要照這份清單開始抽獎嗎?")});
}

// The templates offered to fill in read back as empty lists of ours: the guest list's with
// its header and the numbers 1 to 56, the prize list's with 獎品 as a header, not a prize.
void TestStartCheck::templates()
{
    QTemporaryDir dir;
    const QString gift = dir.filePath(QStringLiteral("gift.xlsx"));
    writeFile(gift, StartCheck::prizeTemplate());
    const PrizeList::Result prizes = PrizeList::load(gift);
    QVERIFY2(prizes.ok(), qPrintable(prizes.message));
    QCOMPARE(prizes.lines, QStringList());

    const QString names = dir.filePath(QStringLiteral("names.xlsx"));
    GuestListDialog dialog;
    GuestListDialog::setSaveNameProvider([&](QWidget *, const QString &) { return names; });
    QStringList told;
    Prompt::setRefuseHandler([&](QWidget *, const QString &text) { told << text; });
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("template")), Qt::LeftButton);
    GuestListDialog::setSaveNameProvider({});
    QCOMPARE(told.size(), 1);
    QVERIFY(told[0].startsWith(QStringLiteral("名單範本已存好")));
    const GuestList::Result list = GuestList::load(names);
    QVERIFY(list.ok());
    QCOMPARE(list.headerRow, 1);
    QVERIFY(list.namesNobody());
    QCOMPARE(list.problems.size(), 56);
    QCOMPARE(list.problems.last().message, QStringLiteral("第 57 列（號碼 56）沒有姓名。"));
}

// The pictures' problems, in a box of their own after the guest list's, told only when
// there are some: without picture folders the start is as it always was. Never a question.
void TestStartCheck::pictures_data()
{
    QTest::addColumn<QStringList>("files"); // under the program's folder; "!" before: broken
    QTest::addColumn<int>("prizes");        // lines in the list
    QTest::addColumn<bool>("yes");          // the answer to the list's question, if asked
    QTest::addColumn<QString>("guests");    // what the guest list lacks
    QTest::addColumn<QStringList>("named"); // files the pictures' box names; none: no box

    const auto names = [](const char *list) {
        return QString::fromUtf8(list).split(u' ', Qt::SkipEmptyParts);
    };
    const QString guests = QStringLiteral("名單 names.csv 有 2 列有問題。");
    QStringList strays;
    for (int i = 1; i <= 20; ++i)
        strays << QStringLiteral("photos/%1.txt").arg(i);
    QStringList shown = strays.mid(0, 12);
    for (QString &f : shown)
        f = QFileInfo(f).fileName();

    QTest::newRow("no folders") << QStringList() << 56 << true << QString() << QStringList();
    QTest::newRow("all good") << names("prizes/1.png photos/7.jpg logo.png") << 56 << true
                              << QString() << QStringList();
    QTest::newRow("good, small, broken, unmatched")
        << names("prizes/1.png prizes/2.png:small !prizes/3.jpg photos/陌生人.png") << 56 << true
        << QString() << names("2.png 3.jpg 陌生人.png");
    QTest::newRow("after the guest list's box")
        << names("!photos/7.jpg") << 56 << true << guests << names("7.jpg");
    QTest::newRow("after 是 to a short list")
        << names("!photos/7.jpg") << 40 << true << QString() << names("7.jpg");
    QTest::newRow("否 to a short list: nothing more")
        << names("!photos/7.jpg") << 40 << false << QString() << QStringList();
    QTest::newRow("a folder of strays: the first ones")
        << strays << 56 << true << QString() << shown;
}

void TestStartCheck::pictures()
{
    QFETCH(QStringList, files);
    QFETCH(int, prizes);
    QFETCH(bool, yes);
    QFETCH(QString, guests);
    QFETCH(QStringList, named);
    QTemporaryDir dir;
    for (QString f : files) {
        if (f.startsWith(u'!'))
            writeBroken(dir.path(), f.mid(1));
        else if (f.endsWith(QLatin1String(":small")))
            writePicture(dir.path(), f.chopped(6), {200, 150});
        else if (f.endsWith(QLatin1String(".txt")) && QDir(dir.path()).mkpath(QFileInfo(f).path()))
            writeFile(dir.filePath(f), "x");
        else
            writePicture(dir.path(), f);
    }
    QStringList list;
    for (int i = 1; i <= prizes; ++i)
        list << QStringLiteral("獎品 %1").arg(i);
    const PictureReport report = PictureReport::make(Gallery::scan(dir.path()), list, {});
    const QString warning = StartCheck::pictureWarning(report);
    QCOMPARE(warning.isEmpty(), report.problems.isEmpty());

    int asked = 0;
    Prompt::setConfirmHandler([&](QWidget *, const QString &) {
        ++asked;
        return yes;
    });
    QStringList told;
    Prompt::setRefuseHandler([&](QWidget *, const QString &text) { told << text; });
    QCOMPARE(StartCheck::accepted(list, nullptr, {}, guests, warning), yes);
    QCOMPARE(asked, int(prizes < 56));
    const int guestBoxes = int(yes && !guests.isEmpty());
    QCOMPARE(told.size(), guestBoxes + int(!named.isEmpty()));
    if (guestBoxes)
        QVERIFY(told.first().startsWith(guests));
    if (named.isEmpty())
        return;
    const QString box = told.last();
    QVERIFY2(box.contains(QStringLiteral("程式旁邊的圖片有 %1 個問題").arg(report.problems.size())),
             qPrintable(box));
    for (const QString &name : named)
        QVERIFY2(box.contains(name + QStringLiteral("：")), qPrintable(name));
    // The counts come along with the problems.
    PictureReport counts = report;
    counts.problems.clear();
    QVERIFY2(box.contains(counts.text()), qPrintable(box));
    const bool cut = report.problems.size() > named.size();
    QCOMPARE(box.contains(QStringLiteral("還有 %1 個").arg(report.problems.size() - named.size())),
             cut);
}

namespace {
QStringList spoiltEverywhere()
{
    QStringList prizes;
    for (int i = 1; i <= 56; ++i)
        prizes << QStringLiteral("第%1份紀念獎 ").arg(i);
    return prizes;
}
} // namespace

// The real boxes: what a file put in their text is shown as text, and a list with a
// warning on every line still gives a box whose buttons are on a 1024 × 768 screen.
void TestStartCheck::boxes_data()
{
    QTest::addColumn<QString>("kind"); // refuse, fail, confirm or start
    QTest::addColumn<QString>("text");
    const QString markup =
        QStringLiteral("<b>第 3 行</b><img src=\"/usr/share/pixmaps/debian-logo.png\">");
    QTest::newRow("refusal with markup") << "refuse" << markup;
    QTest::newRow("failure with markup") << "fail" << markup;
    QTest::newRow("question with markup") << "confirm" << markup;
    QTest::newRow("56 warnings") << "start" << QString();
}

void TestStartCheck::boxes()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QMessageBox *seen = nullptr;
    QString shown;
    int height = 0;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, this, [&] {
        seen = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(seen);
        shown = seen->text();
        format = seen->textFormat();
        height = seen->frameGeometry().height();
        seen->reject();
    });
    if (kind == QLatin1String("refuse"))
        Prompt::refuse(nullptr, text);
    else if (kind == QLatin1String("fail"))
        Prompt::fail(nullptr, text);
    else if (kind == QLatin1String("confirm"))
        Prompt::confirm(nullptr, text);
    else
        QVERIFY(!StartCheck::accepted(spoiltEverywhere()));
    QVERIFY(seen);
    QCOMPARE(format, Qt::PlainText);
    if (!text.isEmpty())
        QCOMPARE(shown, text);
    // A taskbar and the title bar take some of the 768 pixels.
    QVERIFY2(height < 600, qPrintable(QString::number(height)));
}

QTEST_MAIN(TestStartCheck)
#include "test_startcheck.moc"
