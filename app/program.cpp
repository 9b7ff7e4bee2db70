#include "program.h"

#include "prompt.h"
#include "singleinstance.h"
#include "stage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

void Program::wire(Stage &stage, SingleInstance &instance)
{
    BoardWindow &board = stage.boardWindow();
    // Not quit(): it would send every window a close event first, and the board's close
    // box asks a question that 結束 must not.
    QObject::connect(
        &board, &BoardWindow::exitRequested, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    NightWindows *windows = &stage.windows();
    QObject::connect(&instance, &SingleInstance::anotherStarted, windows,
                     &NightWindows::bringForward);
}

bool Program::claim(SingleInstance &instance)
{
    if (instance.claim())
        return true;
    const QString why =
        QStringLiteral("這個鎖定檔確保同一時間只有一份 Zentavo 在抽獎、寫入抽獎紀錄，"
                       "沒有它就不能抽獎，所以程式將結束。\n");
    switch (instance.failure()) {
    case SingleInstance::Failure::None:
    case SingleInstance::Failure::Running:
        refuseSecondCopy();
        break;
    case SingleInstance::Failure::CannotCreate:
        Prompt::refuse(nullptr, QStringLiteral("無法在資料夾\n%1\n建立鎖定檔（%2）。\n\n")
                                        .arg(instance.folder(), instance.lockError()) +
                                    why + instance.remedy());
        break;
    case SingleInstance::Failure::NotAFile:
        Prompt::refuse(nullptr, QStringLiteral("無法建立鎖定檔\n%1\n（%2）。\n\n")
                                        .arg(instance.lockPath(), instance.lockError()) +
                                    why + instance.remedy());
        break;
    case SingleInstance::Failure::LeftOver:
        // Not "already running": nothing runs, and the operator must know what to remove.
        Prompt::refuse(nullptr, QStringLiteral("鎖定檔\n%1\n是一份已經結束的 Zentavo 留下的，"
                                               "但無法取代它（%2）。\n\n")
                                        .arg(instance.lockPath(), instance.lockError()) +
                                    why + instance.remedy());
        break;
    }
    return false;
}

void Program::refuseSecondCopy()
{
    Prompt::refuse(nullptr, QStringLiteral("Zentavo 已經在執行中。"));
}

QString Program::installQtTranslation(const QString &programDir)
{
    const QString file = QStringLiteral("qtbase_zh_TW.qm");
    const QStringList folders = {QDir(programDir).filePath(QStringLiteral("translations")),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(file, folder) && QCoreApplication::installTranslator(translator))
            return QDir(folder).filePath(file);
        delete translator;
    }
    return {};
}
