#include "filesync.h"

#include <io.h>

bool FileSync::toDisk(int handle)
{
    return ::_commit(handle) == 0;
}
