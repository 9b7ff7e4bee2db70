#include "cfilename.h"

#include <QDir>

#include <windows.h>

QByteArray CFileName::of(const QString &existingFolder, const QString &asciiName)
{
    const std::wstring wide = QDir::toNativeSeparators(existingFolder).toStdWString();
    QString folder = existingFolder;
    const DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring shortPath(size, L'\0');
        const DWORD got = GetShortPathNameW(wide.c_str(), shortPath.data(), size);
        if (got > 0 && got < size)
            folder = QString::fromWCharArray(shortPath.c_str(), got);
    }
    const QString path = asciiName.isEmpty() ? folder : QDir(folder).filePath(asciiName);
    // Where the volume keeps no short names, the ANSI code page may still hold the path.
    return QDir::toNativeSeparators(path).toLocal8Bit();
}
