#pragma once
#include <QByteArray>
#include <QList>
#include <QMap>

// The radio's memory records as they were read: 8-byte records by address.
// A read keeps them beside the document it decoded; a write encodes the
// document over them, so that whatever the document does not carry (unused
// bits, codes no list names) stays as the radio had it; a backup keeps them
// and restores them byte for byte; verify compares them.
class RadioImage {
public:
    static constexpr int RecordSize = 8;

    bool isEmpty() const { return m_records.isEmpty(); }
    int size() const { return int(m_records.size()); }
    bool contains(int address) const { return m_records.contains(address); }
    // The record at `address`, or an empty array when it was not read.
    QByteArray record(int address) const { return m_records.value(address); }
    // Keeps `bytes` (exactly RecordSize of them) as the record at `address`.
    void set(int address, const QByteArray& bytes);
    void remove(int address) { m_records.remove(address); }
    // Two records joined (a channel, the option block), or an empty array
    // unless both were read.
    QByteArray pair(int address) const;
    // Every address held, lowest first.
    QList<int> addresses() const { return m_records.keys(); }
    // The records of `other` replace ours at their addresses.
    void merge(const RadioImage& other);

    bool operator==(const RadioImage&) const = default;

private:
    QMap<int, QByteArray> m_records;
};
