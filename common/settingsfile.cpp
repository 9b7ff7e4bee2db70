#include "settingsfile.h"

#include "safefile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
// Where QSettings keeps the INI file, found without opening it, since QSettings reads its
// file the moment it is made: Qt puts the file of a format the program registers in the
// same folder (QSettings::setPath too), and nothing has this one's extension.
QString iniPath(const QString &organization, const QString &application)
{
    static const QString where = QStringLiteral("zentavo-where");
    static const QSettings::Format format = QSettings::registerFormat(
        where, [](QIODevice &, QSettings::SettingsMap &) { return false; },
        [](QIODevice &, const QSettings::SettingsMap &) { return false; });
    QString path = QSettings(format, QSettings::UserScope, organization, application).fileName();
    path.chop(where.size());
    return path + QStringLiteral("ini");
}

QString besideName(const QString &path)
{
    const QFileInfo file(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const auto named = [&](const QString &tail) {
        return file.dir().filePath(file.completeBaseName() + u'-' + stamp + tail + u'.' +
                                   file.suffix());
    };
    QString name = named({});
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = named(u'-' + QString::number(n));
    return name;
}

// The line is said once, however often the screens are asked for.
void say(const QString &line)
{
    static QString said;
    if (line != said)
        qWarning().noquote() << line;
    said = line;
}

// Whether QSettings may open the file: a regular one under the cap, or none. Anything else
// is moved aside first, so that the next start finds the place free.
bool usable(const QString &path)
{
    const SafeFile::Read r = SafeFile::read(path, SettingsFile::MaxBytes);
    if (r.ok() || r.status == SafeFile::Status::Missing)
        return true;
    const QString why =
        r.status == SafeFile::Status::TooLarge
            ? QStringLiteral("它大於 %1 KB，不是本程式寫的設定").arg(SettingsFile::MaxBytes / 1024)
            : r.reason;
    const QString aside = besideName(path);
    const qint64 error = SafeFile::rename(path, aside);
    if (error != 0) {
        say(QStringLiteral("zentavo: 不讀設定檔 %1（%2），也無法把它改名（%3）")
                .arg(QDir::toNativeSeparators(path), why,
                     SafeFile::reason(error, SafeFile::Use::Write)));
        return false;
    }
    say(QStringLiteral("zentavo: 不讀設定檔 %1（%2），已把它改名為 %3")
            .arg(QDir::toNativeSeparators(path), why, QDir::toNativeSeparators(aside)));
    return true;
}
} // namespace

std::unique_ptr<QSettings> SettingsFile::open(const QString &organization,
                                              const QString &application)
{
    const QString path = iniPath(organization, application);
    // Writing, QSettings reads the lock it finds beside the file.
    if (!usable(path) || !usable(path + QStringLiteral(".lock")))
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
