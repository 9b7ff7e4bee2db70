#pragma once

#include "files.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

// Pictures as a folder beside the program would hold them, made for the test: "prizes/1.png"
// of a size, or a file that only says it is one.
inline void writePicture(const QString &folder, const QString &name, QSize size = {600, 450})
{
    const QString path = QDir(folder).filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xc0, 0x30, 0x30));
    QVERIFY(image.save(path));
}

inline void writeBroken(const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    writeFile(path, "\xff\xd8\xff\xe0 not a whole picture");
}
