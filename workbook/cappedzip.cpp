#include "cappedzip.h"

#include <unzip.h>

namespace {
using Memory = CappedZip::Memory;

// minizip reads through these: the archive never touches the disk again once read whole.
voidpf openMemory(voidpf, const void *memory, int)
{
    return const_cast<void *>(memory);
}

uLong readMemory(voidpf, voidpf stream, void *into, uLong size)
{
    auto *m = static_cast<Memory *>(stream);
    const qint64 n = qBound<qint64>(0, m->bytes.size() - m->at, qint64(size));
    memcpy(into, m->bytes.constData() + m->at, size_t(n));
    m->at += n;
    return uLong(n);
}

uLong writeNothing(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T tellMemory(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<Memory *>(stream)->at);
}

long seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *m = static_cast<Memory *>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = m->at;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = m->bytes.size();
    else if (origin != ZLIB_FILEFUNC_SEEK_SET)
        return -1;
    if (offset > ZPOS64_T(m->bytes.size()) || base + qint64(offset) > m->bytes.size())
        return -1;
    m->at = base + qint64(offset);
    return 0;
}

int closeMemory(voidpf, voidpf)
{
    return 0;
}

int noError(voidpf, voidpf)
{
    return 0;
}
} // namespace

CappedZip::CappedZip(const QByteArray &bytes, qint64 totalCap)
    : m_memory{bytes, 0}, m_left(totalCap)
{
    zlib_filefunc64_def io = {};
    io.zopen64_file = openMemory;
    io.zread_file = readMemory;
    io.zwrite_file = writeNothing;
    io.ztell64_file = tellMemory;
    io.zseek64_file = seekMemory;
    io.zclose_file = closeMemory;
    io.zerror_file = noError;
    m_zip = unzOpen2_64(&m_memory, &io);
}

CappedZip::~CappedZip()
{
    if (m_zip)
        unzClose(m_zip);
}

CappedZip::Status CappedZip::read(const QString &name, qint64 cap, QByteArray &out)
{
    out.clear();
    if (!m_zip)
        return Status::NotZip;
    // 2: whatever the case, as a workbook's part names are.
    if (unzLocateFile(m_zip, name.toUtf8().constData(), 2) != UNZ_OK)
        return Status::Missing;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        (info.flag & 1) != 0 || unzOpenCurrentFile(m_zip) != UNZ_OK)
        return Status::Damaged; // also an entry encrypted the old zip way
    const qint64 most = qMin(cap, m_left);
    constexpr qint64 Chunk = 64 * 1024;
    Status status = Status::Ok;
    for (;;) {
        // One byte past the cap tells an entry of exactly the cap from a larger one.
        const qint64 room = qMin(Chunk, most + 1 - out.size());
        if (room <= 0) {
            status = cap <= m_left ? Status::TooLarge : Status::TotalTooLarge;
            break;
        }
        const qsizetype at = out.size();
        out.resize(at + room);
        const int n = unzReadCurrentFile(m_zip, out.data() + at, unsigned(room));
        if (n < 0) {
            status = Status::Damaged;
            break;
        }
        out.resize(at + n);
        if (n == 0)
            break;
    }
    // A wrong checksum shows only once the whole entry is read.
    const int closed = unzCloseCurrentFile(m_zip);
    if (status == Status::Ok && closed != UNZ_OK)
        status = Status::Damaged;
    if (status != Status::Ok) {
        out.clear();
        return status;
    }
    m_left -= out.size();
    return status;
}
