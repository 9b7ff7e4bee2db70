#include "filesync.h"

#include <unistd.h>

bool FileSync::toDisk(int handle)
{
    return ::fsync(handle) == 0;
}
