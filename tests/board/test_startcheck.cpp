#include "prompt.h"
#include "startcheck.h"

#include <QTest>

class TestStartCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { Prompt::setConfirmHandler({}); }
    void asks_data();
    void asks();
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

QTEST_MAIN(TestStartCheck)
#include "test_startcheck.moc"
