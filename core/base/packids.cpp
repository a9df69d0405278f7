#include "packids.h"

#include <algorithm>
#include <initializer_list>

#include "packstrings.h"
#include "textids.h"

namespace PackIds {
namespace {

// Grouped by where the texts go; an id may serve several places.
constexpr std::initializer_list<int> kAboutBox = {1, 2, 3, 4, 5, 6};
constexpr std::initializer_list<int> kMainWindow = {
    9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 53, 54, 56, 57, 61, 145, 157, 158};
constexpr std::initializer_list<int> kReadWriteWindow = {2, 61, 247};
constexpr std::initializer_list<int> kPortWindow = {2, 22, 142};
constexpr std::initializer_list<int> kInfoWindow = {2, 145, 157, 158, 159, 160, 241, 242, 246};
constexpr std::initializer_list<int> kChannelWindow = {
    19, 25, 26, 27, 28, 29, 30, 31, 32, 33, 65, 66, 67, 73, 76, 96, 161};
constexpr std::initializer_list<int> kFeaturesWindow = {
    20,  38,  39,  40,  42,  43,  44,  45,  46,  47,  48,  81,  83,  100, 103, 108, 119,
    152, 153, 154, 155, 162, 163, 181, 195, 196, 199, 200, 201, 202, 203, 204, 208, 211,
    214, 215, 220, 221, 222, 223, 225, 227, 228, 229, 231, 232, 233, 234, 235, 236, 237,
    238, 240, 248, 253};
constexpr std::initializer_list<int> kOptionLists = {
    34,  51,  52,  78,  79,  104, 105, 209, 210, 212, 213, 216, 217, 218, 219,
    165, 166, 170, 31,  44,  86,  251, 252, 249, 250};
constexpr std::initializer_list<int> kValueWords = {34, 35, 36, 37, 74, 75, 78, 79};
constexpr std::initializer_list<int> kMessages = {58, 59, 60, 62, 64};
#define RQ300_TEXT_ID(name, id) id,
// The program's own texts, from 1000 up; the trailing 0 keeps the list
// well-formed while a block is empty and is dropped below.
constexpr std::initializer_list<int> kAdded = {RQ300_TEXTS_ALL(RQ300_TEXT_ID) 0};
#undef RQ300_TEXT_ID

}

const QList<int>& all()
{
    static const QList<int> ids = [] {
        QList<int> out;
        for (auto group : {kAboutBox, kMainWindow, kReadWriteWindow, kPortWindow, kInfoWindow,
                           kChannelWindow, kFeaturesWindow, kOptionLists, kValueWords, kMessages, kAdded})
            out.append(QList<int>(group.begin(), group.end()));
        out.removeAll(0);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }();
    return ids;
}

QList<int> missingOrEmpty(const PackStrings& pack)
{
    QList<int> out;
    for (int id : all())
        if (pack.text(id).isEmpty())
            out.append(id);
    return out;
}

}
