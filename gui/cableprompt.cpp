#include "gui/cableprompt.h"

#include "gui/prompter.h"
#include "radio/cables.h"
#include "radio/portmap.h"
#include "app/appstate.h"

namespace CablePrompt {

bool offerPluggedInCable(QWidget* parent, const AppContext& ctx)
{
    if (!ctx.state || !ctx.ports)
        return false;
    const auto offer = Cables::offerFor(ctx.state->chosenPort, *ctx.ports, Cables::systemPorts());
    if (!offer)
        return false;
    const QString question = Cables::offerQuestion(ctx.state->chosenPort, *ctx.ports, *offer).text(ctx.state->texts);
    if (!Prompter::active().question(parent, ctx.state->text(MsgId::Caption), question, Prompter::Icon::Question))
        return false;
    // The port window ticks the chosen port again when it is next shown, and
    // shutdown stores it, as if the user had picked it there.
    ctx.state->chosenPort = offer->port;
    return true;
}

QString openFailureText(const AppContext& ctx, const Result& reason)
{
    return reason.text(ctx.state ? ctx.state->texts : PackStrings::builtIn());
}

}
