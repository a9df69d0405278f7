#pragma once
#include <QString>

#include "app/appcontext.h"
#include "radio/transferthread.h"

// A transfer of the window program, from what the windows share: the
// document, the active language, the port's settings, the administrator and
// the communication log. The identity to write and the backup and verify
// options are the caller's.
TransferThread::Request transferRequest(const AppContext& ctx, TransferThread::Kind kind, const QString& device);
