#include "radioimage.h"

void RadioImage::set(int address, const QByteArray& bytes)
{
    if (bytes.size() == RecordSize)
        m_records.insert(address, bytes);
}

QByteArray RadioImage::pair(int address) const
{
    const QByteArray first = record(address);
    const QByteArray second = record(address + RecordSize);
    if (first.isEmpty() || second.isEmpty())
        return {};
    return first + second;
}

void RadioImage::merge(const RadioImage& other)
{
    for (auto it = other.m_records.cbegin(); it != other.m_records.cend(); ++it)
        m_records.insert(it.key(), it.value());
}
