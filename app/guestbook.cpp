#include "guestbook.h"

#include "fontfaces.h"
#include "fonts.h"
#include "guestlistdialog.h"
#include "night.h"
#include "prizewindow.h"
#include "prompt.h"
#include "settingsfile.h"
#include "showwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString FileKey = QStringLiteral("guests/file");
} // namespace

GuestBook::GuestBook(Night &night, QWidget &desk) : m_night(night), m_desk(desk)
{
}

GuestList::Display GuestBook::display()
{
    return {[](char32_t u) {
                // The desk's prize window and the hall's face alike.
                static const FontFaces hall(Fonts::hall(true));
                return PrizeWindow::canDraw(u) && hall.canDraw(u);
            },
            &ShowWindow::tooLong};
}

QString GuestBook::remembered()
{
    const auto settings = SettingsFile::open(QStringLiteral("Zentavo"), QStringLiteral("Zentavo"));
    return settings ? settings->value(FileKey).toString() : QString();
}

void GuestBook::remember(const QString &path)
{
    if (const auto settings =
            SettingsFile::open(QStringLiteral("Zentavo"), QStringLiteral("Zentavo")))
        settings->setValue(FileKey, path);
}

namespace {
QString fileName(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A list that names nobody is no list for the hall, whatever the reason.
QString failure(const GuestList::Result &list)
{
    if (!list.ok())
        return list.refusal;
    if (list.namesNobody())
        return QStringLiteral("名單沒有為任何號碼寫上姓名：\n%1").arg(fileName(list.path));
    return {};
}
} // namespace

void GuestBook::loadAtStart(const QString &programDir)
{
    m_fallback.clear();
    const QString beside = GuestList::defaultPath(programDir);
    if (const QString chosen = remembered(); !chosen.isEmpty()) {
        GuestList::Result list = GuestList::load(chosen, display());
        const QString why = failure(list);
        if (why.isEmpty()) {
            adopt(std::move(list));
            return;
        }
        m_fallback =
            QStringLiteral("上次選的名單無法使用。%1\n\n%2")
                .arg(why, beside.isEmpty()
                              ? QStringLiteral("程式旁邊也沒有名單，今晚不顯示姓名。")
                              : QStringLiteral("改用程式旁邊的名單：\n%1").arg(fileName(beside)));
    }
    load(beside);
}

bool GuestBook::choose(const QString &path)
{
    GuestList::Result list = GuestList::load(path, display());
    if (const QString why = failure(list); !why.isEmpty()) {
        Prompt::refuse(
            m_dialog ? static_cast<QWidget *>(m_dialog) : &m_desk,
            why + QStringLiteral("\n\n") +
                (m_list.guests.isEmpty()
                     ? QStringLiteral("今晚照舊不顯示姓名。")
                     : QStringLiteral("今晚照舊使用原來的名單：\n%1").arg(fileName(m_list.path))));
        return false;
    }
    m_fallback.clear();
    adopt(std::move(list));
    remember(path);
    return true;
}

void GuestBook::load(const QString &path)
{
    adopt(path.isEmpty() ? GuestList::Result() : GuestList::load(path, display()));
}

void GuestBook::adopt(GuestList::Result list)
{
    m_list = std::move(list);
    m_night.setGuests(m_list.guests);
    if (m_dialog)
        m_dialog->setResult(m_list);
}

QString GuestBook::warning() const
{
    QString list;
    const QString seeDialog = QStringLiteral("（詳見「檢視 → 名單…」）");
    if (!m_list.path.isEmpty() && !failure(m_list).isEmpty())
        list = failure(m_list) +
               (m_list.problems.isEmpty()
                    ? QString()
                    : QStringLiteral("\n有 %1 列有問題").arg(m_list.problems.size()) + seeDialog);
    else if (!m_list.problems.isEmpty())
        list = QStringLiteral("名單 %1%2有 %3 列有問題，這些列的號碼不會顯示姓名%4。")
                   .arg(QFileInfo(m_list.path).fileName(),
                        m_list.foundAt().isEmpty() ? QStringLiteral(" ")
                                                   : QStringLiteral("（%1）").arg(m_list.foundAt()))
                   .arg(m_list.problems.size())
                   .arg(seeDialog);
    QStringList parts{m_fallback, list};
    parts.removeAll(QString());
    return parts.join(QStringLiteral("\n\n"));
}

void GuestBook::showDialog()
{
    if (!m_dialog) {
        m_dialog = new GuestListDialog(&m_desk);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &GuestListDialog::fileChosen, this, &GuestBook::choose);
    }
    m_dialog->setResult(m_list);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}
