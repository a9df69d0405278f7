#pragma once
#include "base/result.h"
#include <QString>

#include "app/appcontext.h"

class QWidget;

// What Read and Write add about programming cables before a transfer.
namespace CablePrompt {

// When the chosen port has no device and exactly one programming cable is
// plugged in elsewhere, asks whether to use it; on Yes that port becomes the
// chosen one. True when the port was switched.
bool offerPluggedInCable(QWidget* parent, const AppContext& ctx);

// The reason a device cannot be opened (with the fix where the cable lookup
// knows one: permissions, the braille service) in the active language.
QString openFailureText(const AppContext& ctx, const Result& reason);

}
