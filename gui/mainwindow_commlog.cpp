// Tools > Communication log: every frame of the transfers that follow goes
// into a file the user can send with a bug report.
#include <QAction>
#include <QDateTime>
#include <QDir>

#include "gui/mainwindow.h"
#include "gui/prompter.h"
#include "radio/commlog.h"
#include "radio/seriallink.h"
#include "app/appstate.h"
#include "base/textids.h"

void MainWindow::toggleCommunicationLog()
{
    QAction* item = m_actions.value(QStringLiteral("CommunicationLog1"));
    if (m_link->log()) {
        endCommunicationLog(false);
        item->setChecked(false);
        return;
    }
    const QString path = Prompter::active().saveFile(this, m_state->text(TextId::CommLogSaveTitle),
                                                     QStringLiteral("*.txt"), QStringLiteral("txt"));
    if (path.isEmpty()) {
        item->setChecked(false);
        return;
    }
    CommLog& log = m_session.commLog();
    log.start(path, QStringLiteral("rq300"));
    // An empty file now shows at once whether the place can be written.
    if (const Result r = log.write(); !r) {
        Prompter::active().message(this, QStringLiteral("RQ-300"), r.text(m_state->texts), Prompter::Icon::Error);
        item->setChecked(false);
        return;
    }
    m_link->setLog(&log);
    item->setChecked(true);
}

void MainWindow::endCommunicationLog(bool atExit)
{
    if (!m_link->log())
        return;
    m_link->setLog(nullptr);
    const Result r = m_session.commLog().write();
    if (!r)
        Prompter::active().message(this, QStringLiteral("RQ-300"), r.text(m_state->texts), Prompter::Icon::Error);
    else if (!atExit)
        Prompter::active().message(this, QStringLiteral("RQ-300"),
                                   m_state->text(TextId::CommLogSaved).arg(m_session.commLog().path()),
                                   Prompter::Icon::Information);
}
