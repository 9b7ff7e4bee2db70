#include "files.h"
#include "prizelist.h"
#include "prompt.h"
#include "startcheck.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestStartCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { Prompt::setConfirmHandler({}); }
    void asks_data();
    void asks();
    void boxes_data();
    void boxes();
    void fileWarning();
};

void TestStartCheck::asks_data()
{
    QTest::addColumn<QStringList>("prizes");
    QTest::addColumn<bool>("yes");      // the operator's answer, if asked
    QTest::addColumn<QString>("asked"); // empty: no question
    QTest::addColumn<bool>("goesOn");

    QStringList full;
    for (int i = 1; i <= 56; ++i)
        full << QStringLiteral("獎品 %1").arg(i);
    QStringList spoilt = full.mid(0, 40);
    spoilt[11] = QStringLiteral("精美紀念獎 ");
    const QString question =
        QStringLiteral("獎品清單只有 40 項，另外 16 張卡會抽出空白獎品。\n"
                       "第 12 行的「紀念獎」後面有空白，這一項不會算紀念獎。\n\n"
                       "要照這份清單開始抽獎嗎?");

    QTest::newRow("full list opens at once") << full << false << QString() << true;
    QTest::newRow("是 goes on") << spoilt << true << question << true;
    QTest::newRow("否 stops") << spoilt << false << question << false;
    QTest::newRow("empty list, 否")
        << QStringList() << false
        << QStringLiteral(
               "獎品清單只有 0 項，另外 56 張卡會抽出空白獎品。\n\n要照這份清單開始抽獎嗎?")
        << false;
}

void TestStartCheck::asks()
{
    QFETCH(QStringList, prizes);
    QFETCH(bool, yes);
    QFETCH(QString, asked);
    QFETCH(bool, goesOn);
    QStringList texts;
    Prompt::setConfirmHandler([&](QWidget *, const QString &text) {
        texts << text;
        return yes;
    });
    QCOMPARE(StartCheck::accepted(prizes), goesOn);
    QCOMPARE(texts, asked.isEmpty() ? QStringList() : QStringList{asked});
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
