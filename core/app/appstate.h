#pragma once
#include <QString>

#include "radio/transfercontext.h"

// Application state that several windows share; AppSession owns it. What a
// transfer needs (channel count, single-port cable, administrator name, the
// active texts, the busy flag) it has as a TransferContext.
class AppState : public TransferContext {
    Q_OBJECT
public:
    using TransferContext::TransferContext;

    int language = 0;            // 1 simplified Chinese, 2 English, 3 traditional; 0 before any pack
    int chosenPort = 1;          // COM1 .. COM16
    QString modelId;             // 16 hex digits, set by the model change
};
