#include "guestbook.h"

#include "fontfaces.h"
#include "fonts.h"
#include "guestlistdialog.h"
#include "night.h"
#include "prizewindow.h"
#include "settingsfile.h"
#include "showwindow.h"

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

QString GuestBook::startPath(const QString &programDir)
{
    const QString chosen = remembered();
    if (!chosen.isEmpty() && QFileInfo::exists(chosen))
        return chosen;
    return GuestList::defaultPath(programDir);
}

void GuestBook::load(const QString &path)
{
    m_list = path.isEmpty() ? GuestList::Result() : GuestList::load(path, display());
    m_night.setGuests(m_list.guests);
    if (m_dialog)
        m_dialog->setResult(m_list);
}

QString GuestBook::warning() const
{
    if (m_list.path.isEmpty())
        return {};
    if (!m_list.ok())
        return m_list.refusal;
    if (m_list.problems.isEmpty())
        return {};
    return QStringLiteral(
               "名單 %1 有 %2 列有問題，這些列的號碼不會顯示姓名（詳見「檢視 → 名單…」）。")
        .arg(QFileInfo(m_list.path).fileName())
        .arg(m_list.problems.size());
}

void GuestBook::showDialog()
{
    if (!m_dialog) {
        m_dialog = new GuestListDialog(&m_desk);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &GuestListDialog::fileChosen, this, [this](const QString &path) {
            load(path);
            remember(path);
        });
    }
    m_dialog->setResult(m_list);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}
