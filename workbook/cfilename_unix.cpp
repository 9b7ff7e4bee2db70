#include "cfilename.h"

#include <QDir>
#include <QFile>

QByteArray CFileName::of(const QString &existingFolder, const QString &asciiName)
{
    const QString path =
        asciiName.isEmpty() ? existingFolder : QDir(existingFolder).filePath(asciiName);
    return QFile::encodeName(path);
}
