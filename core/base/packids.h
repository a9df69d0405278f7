#pragma once
#include <QList>

class PackStrings;

// The string ids that the program looks up in a language pack.
namespace PackIds {

// Every id the windows, option lists, value words and messages ask for,
// ascending and without repeats.
const QList<int>& all();

// The ids of all() that `pack` has no text for, or only an empty one.
QList<int> missingOrEmpty(const PackStrings& pack);

}
