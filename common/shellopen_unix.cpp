#include "shellopen.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void ShellOpen::open(QWidget *, const QString &link)
{
    QDesktopServices::openUrl(QUrl(link));
}
