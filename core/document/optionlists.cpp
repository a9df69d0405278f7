#include "optionlists.h"

#include <QHash>

#include "base/packstrings.h"
#include "settingkeys.h"

namespace OptionLists {
namespace {

QList<Entry> fixedList(const QStringList& texts)
{
    QList<Entry> out;
    for (const QString& t : texts)
        out.append(Entry{0, t});
    return out;
}

QList<Entry> numbers(int from, int to, const QString& suffix = {})
{
    QList<Entry> out;
    for (int i = from; i <= to; ++i)
        out.append(Entry{0, QString::number(i) + suffix});
    return out;
}

QList<Entry> ids(std::initializer_list<int> list)
{
    QList<Entry> out;
    for (int id : list)
        out.append(Entry{id, {}});
    return out;
}

QList<Entry> offThen(const QStringList& texts)
{
    QList<Entry> out{Entry{34, {}}};
    out.append(fixedList(texts));
    return out;
}

struct Table {
    QHash<QString, QList<Entry>> lists;
    QHash<QString, int> defaults;
};

const Table& table()
{
    static const Table t = [] {
        Table t;
        auto add = [&](const QString& key, QList<Entry> list, int def) {
            t.lists.insert(key, std::move(list));
            t.defaults.insert(key, def);
        };
        add(Key::Model, fixedList({QStringLiteral("MZ-209")}), 0);
        add(Key::AutoPowerOff,
            offThen({"10M", "20M", "30M", "40M", "50M", "60M", "90M", "2H", "4H", "6H",
                     "8H", "10H", "12H", "14H", "16H"}),
            0);
        add(Key::Squelch, numbers(0, 9), 2);
        add(Key::ScanResume, fixedList({"CO", "TO"}), 1);
        add(Key::TimeOut,
            offThen({"10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "110", "120"}), 3);
        add(Key::Voice, ids({34, 51, 52}), 1);
        add(Key::SaveRatio, fixedList({"1:1", "1:2", "1:3", "1:4"}), 3);
        add(Key::Volume, numbers(0, 15), 7);
        add(Key::DtmfTime, numbers(5, 15, "0ms"), 5);
        add(Key::VoxLevel, numbers(1, 8), 2);
        add(Key::VoxDelay, numbers(1, 4, "S"), 2);
        const QList<Entry> keyFns = ids({34, 165, 166, 170, 31, 44, 86, 251, 252, 249, 250});
        add(Key::TopLong, keyFns, 6);
        add(Key::TopShort, keyFns, 5);
        add(Key::P1Long, keyFns, 7);
        add(Key::P1Short, keyFns, 9);
        add(Key::P2Long, keyFns, 8);
        add(Key::P2Short, keyFns, 10);
        return t;
    }();
    return t;
}

}

const QStringList& choiceKeys()
{
    static const QStringList keys = {
        Key::Model, Key::AutoPowerOff, Key::Squelch, Key::ScanResume, Key::TimeOut,
        Key::Voice, Key::SaveRatio, Key::Volume, Key::DtmfTime, Key::VoxLevel,
        Key::VoxDelay, Key::TopLong, Key::TopShort, Key::P1Long, Key::P1Short,
        Key::P2Long, Key::P2Short};
    return keys;
}

QList<Entry> entries(const QString& key)
{
    return table().lists.value(key);
}

QStringList texts(const QString& key, const PackStrings& strings)
{
    QStringList out;
    for (const Entry& e : entries(key))
        out << (e.packId ? strings.text(e.packId) : e.fixed);
    return out;
}

int defaultPosition(const QString& key)
{
    return table().defaults.value(key, -1);
}

}
