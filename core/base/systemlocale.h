#pragma once
#include <QChar>

// What the program takes from the system locale: the default language id
// (0x0804 for Chinese, People's Republic of China) and the decimal separator.
// Tests set both explicitly so that nothing depends on the machine.
namespace SystemLocale {
int defaultLanguageId();
QChar decimalSeparator();
void setForTesting(int languageId, QChar decimalSeparator);
void clearTestingOverride();
}
