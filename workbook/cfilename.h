#pragma once

#include <QByteArray>
#include <QString>

// A path as the C library's fopen() takes it, for libxlsxwriter: UTF-8 on Unix; on
// Windows the mingw build calls the ANSI fopen, so the short (8.3) form of a folder that
// exists, which holds no Chinese even when the user's name does.
namespace CFileName {
QByteArray of(const QString &existingFolder, const QString &asciiName = {});
} // namespace CFileName
