#pragma once

#include <QByteArray>
#include <QString>

// The entries of a zip archive held in memory, each inflated in chunks and given up past a
// cap: an entry's declared size can lie, and a few kilobytes can inflate to gigabytes.
class CappedZip
{
public:
    enum class Status
    {
        Ok,
        NotZip,
        Missing,
        TooLarge,      // more than the entry's cap
        TotalTooLarge, // more than is left of the archive's total
        Damaged
    };

    CappedZip(const QByteArray &bytes, qint64 totalCap);
    ~CappedZip();
    CappedZip(const CappedZip &) = delete;
    CappedZip &operator=(const CappedZip &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Part names are case-insensitive in a workbook.
    Status read(const QString &name, qint64 cap, QByteArray &out);

    // The archive as minizip reads it: a file in memory.
    struct Memory
    {
        QByteArray bytes;
        qint64 at = 0;
    };

private:
    Memory m_memory;
    void *m_zip = nullptr;
    qint64 m_left = 0;
};
