#include "programdir.h"

#include <QCoreApplication>

// Windows names files in UTF-16: Qt's own answer carries any name.
QString ProgramDir::path()
{
    return QCoreApplication::applicationDirPath();
}
