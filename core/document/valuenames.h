#pragma once
#include <QString>

// The names messages give the values of a settings document ("squelch
// level", "transmit tone"), as text ids, so that every message that speaks
// of a value, whether it cannot be coded, differs or was not kept, names it
// with the same words in the active language.
namespace ValueNames {

// 0 for a key no message speaks of.
int settingId(const QString& key);
// Columns 0 (the channel number) to 11 (PTT ID); 0 for another.
int columnId(int col);

}
