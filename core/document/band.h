#pragma once
#include <QString>

// A band text is ten characters: lower edge (3 digits), '-', upper edge
// (3 digits), "MHz", for example "400-470MHz".
namespace Band {
bool isWellFormed(const QString& text);
int lower(const QString& text);   // characters 1-3; -1 if not a number
int upper(const QString& text);   // characters 5-7; -1 if not a number
constexpr const char* Unset = "FFF-FFFMHz";
}
