#include "guestlistdialog.h"

#include "plainlabel.h"

#include "filesync.h"
#include "focusreturn.h"
#include "prompt.h"
#include "workbookwriter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
GuestListDialog::OpenNameProvider &openNameProvider()
{
    static GuestListDialog::OpenNameProvider p;
    return p;
}

GuestListDialog::SaveNameProvider &saveNameProvider()
{
    static GuestListDialog::SaveNameProvider p;
    return p;
}

} // namespace

void GuestListDialog::setOpenNameProvider(OpenNameProvider provider)
{
    openNameProvider() = std::move(provider);
}

void GuestListDialog::setSaveNameProvider(SaveNameProvider provider)
{
    saveNameProvider() = std::move(provider);
}

GuestListDialog::GuestListDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GuestListDialog"));
    setWindowTitle(QStringLiteral("名單"));
    m_file = plainLabel(this, QStringLiteral("file"));
    m_summary = plainLabel(this, QStringLiteral("summary"));
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("部門")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_problems = new QPlainTextEdit(this);
    m_problems->setObjectName(QStringLiteral("problems"));
    m_problems->setReadOnly(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *choose =
        buttons->addButton(QStringLiteral("選擇其他檔案…"), QDialogButtonBox::ActionRole);
    choose->setObjectName(QStringLiteral("choose"));
    connect(choose, &QPushButton::clicked, this, &GuestListDialog::chooseFile);
    auto *blank = buttons->addButton(QStringLiteral("存成名單範本…"), QDialogButtonBox::ActionRole);
    blank->setObjectName(QStringLiteral("template"));
    connect(blank, &QPushButton::clicked, this, &GuestListDialog::saveTemplate);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 2);
    layout->addWidget(m_problems, 1);
    layout->addWidget(buttons);
    resize(560, 520);
}

QString GuestListDialog::numberRuns(const QList<int> &numbers)
{
    QStringList parts;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        if (j - i >= 2) {
            parts << QStringLiteral("%1–%2").arg(numbers[i]).arg(numbers[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                parts << QString::number(numbers[k]);
        }
        i = j + 1;
    }
    return parts.join(QStringLiteral("、"));
}

void GuestListDialog::setResult(const GuestList::Result &result)
{
    m_path = result.path;
    m_file->setText(
        result.path.isEmpty()
            ? QStringLiteral("沒有名單：程式旁邊沒有 names.xlsx、names.csv 或 names.txt。")
            : QStringLiteral("名單檔案：%1")
                  .arg(QDir::toNativeSeparators(QFileInfo(result.path).absoluteFilePath())));
    QString summary;
    if (!result.ok()) {
        summary = result.refusal;
    } else if (!result.path.isEmpty()) {
        const QList<int> unnamed = result.unnamed();
        summary = result.foundAt().isEmpty() ? QString() : result.foundAt() + QStringLiteral("。");
        summary += QStringLiteral("有姓名的號碼：%1 個。").arg(result.guests.size());
        summary += unnamed.isEmpty()
                       ? QStringLiteral("1 到 %1 號都有姓名。").arg(GuestList::MaxNumber)
                       : QStringLiteral("沒有姓名的號碼：%1。").arg(numberRuns(unnamed));
        if (!result.problems.isEmpty())
            summary += QStringLiteral("有 %1 個問題，見下方。").arg(result.problems.size());
    }
    m_summary->setText(summary);

    m_table->setRowCount(int(result.guests.size()));
    int row = 0;
    for (auto it = result.guests.cbegin(); it != result.guests.cend(); ++it, ++row) {
        const QStringList cells{QString::number(it.key()), it->name, it->department};
        for (int c = 0; c < 3; ++c)
            m_table->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    m_table->resizeColumnsToContents();

    QStringList problems;
    for (const GuestList::Problem &p : result.problems)
        problems << p.message;
    m_problems->setPlainText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
}

QString GuestListDialog::summary() const
{
    return m_summary->text();
}

QString GuestListDialog::problems() const
{
    return m_problems->toPlainText();
}

QString GuestListDialog::folder() const
{
    return m_path.isEmpty() ? QDir::homePath() : QFileInfo(m_path).absolutePath();
}

void GuestListDialog::chooseFile()
{
    const QString path =
        openNameProvider()
            ? openNameProvider()(this, folder())
            : QFileDialog::getOpenFileName(this, QStringLiteral("選擇名單"), folder(),
                                           QStringLiteral("名單 (*.xlsx *.csv *.txt)"));
    FocusReturn::afterDialog(this);
    if (!path.isEmpty())
        Q_EMIT fileChosen(path);
}

QByteArray GuestListDialog::templateWorkbook(QString *reason)
{
    QList<QList<Workbook::Cell>> rows;
    for (int n = 1; n <= GuestList::MaxNumber; ++n)
        rows.append(QList<Workbook::Cell>{double(n)});
    const Workbook::Written w = Workbook::write(
        QStringLiteral("名單"),
        {QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("部門")}, rows);
    if (!w.ok && reason)
        *reason = w.reason;
    return w.bytes;
}

void GuestListDialog::saveTemplate()
{
    const QString suggested = QDir(folder()).filePath(QStringLiteral("names.xlsx"));
    QString path =
        saveNameProvider()
            ? saveNameProvider()(this, suggested)
            : QFileDialog::getSaveFileName(this, QStringLiteral("存成名單範本"), suggested,
                                           QStringLiteral("Excel 活頁簿 (*.xlsx)"));
    FocusReturn::afterDialog(this);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".xlsx");
    QString reason;
    const QByteArray bytes = templateWorkbook(&reason);
    const QString shown = QDir::toNativeSeparators(path);
    if (bytes.isEmpty() || !FileSync::save(path, bytes, &reason)) {
        Prompt::refuse(this, QStringLiteral("無法儲存名單範本（%1）：\n%2").arg(reason, shown));
        return;
    }
    Prompt::refuse(
        this,
        QStringLiteral("名單範本已存好：\n%1\n\n請在「姓名」欄（和「部門」欄）填上每個號碼的人，"
                       "存檔後放在程式旁邊，或用「選擇其他檔案…」選它。")
            .arg(shown));
}
