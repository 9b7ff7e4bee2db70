#include "startcheck.h"

#include "filesync.h"
#include "prizelist.h"
#include "prompt.h"
#include "workbookwriter.h"

#include <QDir>

bool StartCheck::accepted(const QStringList &prizes, QWidget *parent,
                          const QStringList &fileWarnings, const QString &guestWarning,
                          const QString &pictureWarning)
{
    const QStringList warnings = fileWarnings + PrizeList::startWarnings(prizes);
    if (!warnings.isEmpty() && !Prompt::confirm(parent, PrizeList::startQuestion(warnings)))
        return false;
    if (!guestWarning.isEmpty())
        Prompt::refuse(parent, guestWarning +
                                   QStringLiteral("\n\n抽獎照常進行，沒有姓名的號碼只顯示號碼。"));
    if (!pictureWarning.isEmpty())
        Prompt::refuse(parent, pictureWarning);
    return true;
}

QString StartCheck::pictureWarning(const PictureReport &report)
{
    if (report.problems.isEmpty())
        return {};
    // A folder of stray files would make a box taller than the screen: the rest are in 圖片….
    constexpr int Shown = 12;
    PictureReport shown = report;
    shown.problems = report.problems.mid(0, Shown);
    QString text = QStringLiteral("程式旁邊的圖片有 %1 個問題。\n\n").arg(report.problems.size()) +
                   shown.text();
    if (report.problems.size() > Shown)
        text += QStringLiteral("\n……還有 %1 個，見「檢視 → 圖片…」。")
                    .arg(report.problems.size() - Shown);
    return text + QStringLiteral("\n\n抽獎照常進行，沒有圖片的獎品和號碼照舊顯示。");
}

QByteArray StartCheck::prizeTemplate(QString *reason)
{
    // 項次 only shows how many rows there are to fill: the list is read from column A.
    QList<QList<Workbook::Cell>> rows;
    for (int n = 1; n <= PrizeList::MaxLines; ++n)
        rows.append(QList<Workbook::Cell>{QString(), double(n)});
    const Workbook::Written w = Workbook::write(
        QStringLiteral("獎品清單"), {QStringLiteral("獎品"), QStringLiteral("項次")}, rows);
    if (!w.ok && reason)
        *reason = w.reason;
    return w.bytes;
}

void StartCheck::offerPrizeTemplate(const QString &folder, const QString &message, QWidget *parent)
{
    const QString path = QDir(folder).filePath(QStringLiteral("gift.xlsx"));
    const QString shown = QDir::toNativeSeparators(path);
    if (!Prompt::confirm(parent,
                         message + QStringLiteral("\n\n要在程式的資料夾存一份獎品清單範本嗎?\n%1\n"
                                                  "（「獎品」欄下面有 56 列，每列填一項獎品。）")
                                       .arg(shown),
                         Prompt::Default::Yes))
        return;
    QString reason;
    const QByteArray bytes = prizeTemplate(&reason);
    if (bytes.isEmpty() || !FileSync::save(path, bytes, &reason))
        Prompt::refuse(parent,
                       QStringLiteral("無法儲存獎品清單範本（%1）：\n%2").arg(reason, shown));
    else
        Prompt::refuse(parent, QStringLiteral("獎品清單範本已存好：\n%1\n\n填好獎品、存檔後，"
                                              "再開啟 Zentavo。")
                                   .arg(shown));
}
