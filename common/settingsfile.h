#pragma once

#include <QString>

#include <memory>

class QSettings;

// The program's own settings (the screens chosen for the show). QSettings opens its file the
// moment it is made and reads all of it: a FIFO there would hang the program. The file is
// read like every file from outside first.
namespace SettingsFile {
// Far more than the few lines the program writes.
inline constexpr qint64 MaxBytes = 64 * 1024;

// The user's INI file of the program, where QSettings keeps it (QSettings::setPath too).
// What lies there or at its lock and is not a regular file under the cap is set aside beside
// it, and one line on standard error says so; none when it cannot be moved.
std::unique_ptr<QSettings> open(const QString &organization, const QString &application);
} // namespace SettingsFile
