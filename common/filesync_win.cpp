#include "filesync.h"

#include <QFileDevice>

#include <io.h>

bool FileSync::sync(QFileDevice &file)
{
    return file.flush() && ::_commit(file.handle()) == 0;
}
