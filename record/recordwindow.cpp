#include "recordwindow.h"

#include "filesync.h"
#include "focusreturn.h"
#include "nightrecord.h"
#include "prompt.h"
#include "scale.h"

#include <QAction>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr QSize DesignSize(760, 480);

RecordWindow::SaveNameProvider &saveNameProvider()
{
    static RecordWindow::SaveNameProvider p;
    return p;
}
} // namespace

void RecordWindow::setSaveNameProvider(SaveNameProvider provider)
{
    saveNameProvider() = std::move(provider);
}

RecordWindow::RecordWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RecordWindow"));
    setWindowTitle(QStringLiteral("抽獎紀錄"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setColumnCount(int(NightRecord::header().size()));
    m_table->setHorizontalHeaderLabels(NightRecord::header());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *copyButton = new QPushButton(QStringLiteral("複製"), this);
    copyButton->setObjectName(QStringLiteral("copy"));
    connect(copyButton, &QPushButton::clicked, this, &RecordWindow::copy);
    auto *saveButton = new QPushButton(QStringLiteral("另存新檔…"), this);
    saveButton->setObjectName(QStringLiteral("saveAs"));
    connect(saveButton, &QPushButton::clicked, this, &RecordWindow::saveAs);
    auto *saveAction = new QAction(this);
    saveAction->setObjectName(QStringLiteral("saveAction"));
    saveAction->setShortcut(QKeySequence::Save);
    saveAction->setShortcutContext(Qt::WindowShortcut);
    connect(saveAction, &QAction::triggered, this, &RecordWindow::saveAs);
    addAction(saveAction);

    // The whole record, not only the cell the table would copy by itself.
    auto *copyAction = new QAction(this);
    copyAction->setObjectName(QStringLiteral("copyAction"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    connect(copyAction, &QAction::triggered, this, &RecordWindow::copy);
    addAction(copyAction);

    // Closed from the keyboard as a document window is.
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto *closeKey = new QShortcut(key, this);
        closeKey->setContext(Qt::WindowShortcut);
        // Held, it closes once: the window is gone. Qt's repeat mark is wrong after a lost release.
        closeKey->setAutoRepeat(true);
        connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    }

    // A presenter remote pages through the night, whichever control has the focus.
    for (const auto &[key, step] : {std::pair{Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
                                    std::pair{Qt::Key_Right, QAbstractSlider::SliderPageStepAdd},
                                    std::pair{Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
                                    std::pair{Qt::Key_Left, QAbstractSlider::SliderPageStepSub}}) {
        auto *pageKey = new QShortcut(QKeySequence(key), this);
        pageKey->setContext(Qt::WindowShortcut);
        connect(pageKey, &QShortcut::activated, this,
                [this, step] { m_table->verticalScrollBar()->triggerAction(step); });
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    m_designFont = font();
    m_designHeaderFont = m_table->horizontalHeader()->font();
    m_designRowHeight = m_table->verticalHeader()->defaultSectionSize();
    resize(DesignSize);
}

void RecordWindow::setScale(double s)
{
    setFont(Scale::font(m_designFont, s));
    // Some platforms give headers a font of their own, which a window's font does not reach.
    m_table->horizontalHeader()->setFont(Scale::font(m_designHeaderFont, s));
    // Rows are as tall as the style made them for the design type, times s.
    m_table->verticalHeader()->setDefaultSectionSize(qRound(m_designRowHeight * s));
    m_table->resizeColumnsToContents();
    resize(DesignSize * s);
}

void RecordWindow::setRecord(const NightRecord &record)
{
    const QList<NightRecord::Entry> &entries = record.entries();
    const NightRecord::Columns columns = record.columns();
    const QStringList header = NightRecord::header(columns);
    if (m_table->columnCount() != header.size()) {
        m_table->setColumnCount(int(header.size()));
        m_table->setHorizontalHeaderLabels(header);
    }
    m_table->setRowCount(int(entries.size()));
    for (int row = 0; row < int(entries.size()); ++row) {
        const NightRecord::Entry &e = entries[row];
        const QStringList fields = NightRecord::fields(e, columns);
        for (int col = 0; col < int(fields.size()); ++col) {
            auto *item = new QTableWidgetItem(fields[col]);
            if (e.kind == NightRecord::Kind::Discarded)
                item->setForeground(Qt::gray);
            m_table->setItem(row, col, item);
        }
    }
    m_table->resizeColumnsToContents();
    if (!entries.isEmpty())
        m_table->scrollToBottom();
    m_tsv = record.toTsv();
    m_record = record;
}

void RecordWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || m_shown)
        return;
    m_shown = true;
    // Sized once the style has given the table its fonts and the viewport its height:
    // measured before, the columns come out narrow and the view scrolled past the top.
    m_table->resizeColumnsToContents();
    m_table->scrollToTop();
}

void RecordWindow::copy()
{
    QGuiApplication::clipboard()->setText(m_tsv);
}

void RecordWindow::saveAs()
{
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("抽獎紀錄-%1.csv")
                          .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    const QString csvFilter = QStringLiteral("CSV 檔案 (*.csv)");
    const QString xlsxFilter = QStringLiteral("Excel 活頁簿 (*.xlsx)");
    QString chosenFilter = csvFilter;
    QString path = saveNameProvider()
                       ? saveNameProvider()(this, suggested)
                       : QFileDialog::getSaveFileName(this, QStringLiteral("另存新檔"), suggested,
                                                      csvFilter + QStringLiteral(";;") + xlsxFilter,
                                                      &chosenFilter);
    FocusReturn::afterDialog(this);
    if (path.isEmpty())
        return;
    // The kind chosen in the dialog decides where the name does not: a name typed over the
    // suggestion keeps the suggestion's .csv when the workbook was chosen.
    const QFileInfo named(path);
    const bool xlsx = named.suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    const bool csv = named.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    if (chosenFilter == xlsxFilter && !xlsx)
        path = (csv ? path.chopped(4) : path) + QStringLiteral(".xlsx");
    QString reason;
    if (!saveTo(path, &reason))
        Prompt::refuse(this, QStringLiteral("無法儲存抽獎紀錄（%1）：\n%2\n\n"
                                            "紀錄沒有存好；那裡原本若有同名的檔案，它沒有被改動。"
                                            "請換一個地方再存一次。")
                                 .arg(reason, QDir::toNativeSeparators(path)));
}

bool RecordWindow::saveTo(const QString &path, QString *reason)
{
    QByteArray bytes;
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0) {
        QString why;
        bytes = m_record.toXlsx(&why);
        if (bytes.isEmpty()) {
            if (reason)
                *reason = why;
            return false;
        }
    } else {
        bytes = m_record.toCsv();
    }
    return FileSync::save(path, bytes, reason);
}
