#include "transferrequest.h"

#include "app/appstate.h"
#include "document/settingsdocument.h"
#include "radio/seriallink.h"

TransferThread::Request transferRequest(const AppContext& ctx, TransferThread::Kind kind, const QString& device)
{
    const AppState& st = *ctx.state;
    TransferThread::Request r;
    r.kind = kind;
    r.device = device;
    r.data = ctx.doc->data();
    r.separator = ctx.doc->decimalSeparator();
    r.texts = st.texts;
    r.channelCount = st.channelCount;
    r.singlePort = st.singlePort;
    r.stampFactoryDate = st.stampFactoryDate;
    r.adminName = st.adminName;
    r.log = ctx.link->log();
    return r;
}
