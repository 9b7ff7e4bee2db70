#include "filesync.h"

#include <QFileDevice>

#include <unistd.h>

bool FileSync::sync(QFileDevice &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}
