#pragma once
#include <QList>
#include <QStringList>

class PackStrings;

// The option list of every choice setting. An entry is a fixed text or a
// pack string id.
namespace OptionLists {

struct Entry {
    int packId = 0;      // 0: the fixed text below
    QString fixed;
};

// Every choice key of the settings document except the band list.
const QStringList& choiceKeys();
// The list of a choice setting; empty for an unknown key.
QList<Entry> entries(const QString& key);
QStringList texts(const QString& key, const PackStrings& strings);
// Default position of a choice setting (what New and a fresh start select).
int defaultPosition(const QString& key);

}
