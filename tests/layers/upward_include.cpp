// Built with the document layer's include root only: a radio header, which
// stands above it, must not be found (tests/CMakeLists.txt expects the
// compiler to say so).
#include "document/settingsdocument.h"
#include "radio/seriallink.h"
