#pragma once
#include <QStringList>


class DocumentData;
class PackStrings;

// The readable layout of `rq300-cli show`: model and band, the options the
// file carries, then the channels that exist as an aligned table.
QStringList showLayout(const DocumentData& data, const PackStrings& texts, QChar separator);

// Terminal columns a text takes: Chinese characters take two.
int displayWidth(const QString& text);
