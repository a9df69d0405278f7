#include "gui/safetymenu.h"

#include <QAction>
#include <QMenu>

#include "gui/backupswindow.h"
#include "gui/channeleditor.h"
#include "gui/comparewindow.h"
#include "gui/fleetwindow.h"
#include "gui/mainwindow.h"
#include "app/appstate.h"
#include "base/textids.h"

void connectSafetyCommands(MainWindow& form, const QMap<QString, QAction*>& actions)
{
    QObject::connect(actions.value(QStringLiteral("CompareItem")), &QAction::triggered, &form, [&form] {
        if (form.state().radioBusy() || !form.channelEditor()->finishPendingEdit())
            return;
        CompareWindow window(form.context(), &form);
        window.startCommand();
    });

    QObject::connect(actions.value(QStringLiteral("FleetItem")), &QAction::triggered, &form, [&form] {
        if (form.state().radioBusy() || !form.channelEditor()->finishPendingEdit())
            return;
        FleetWindow window(form.context(), &form);
        window.startCommand();
    });

    QObject::connect(actions.value(QStringLiteral("BackupsItem")), &QAction::triggered, &form, [&form] {
        if (form.state().radioBusy() || !form.channelEditor()->finishPendingEdit())
            return;
        BackupsWindow window(form.context(), &form);
        QObject::connect(&window, &BackupsWindow::loaded, &form, [&form](const QString& caption) {
            // As File > Open ends.
            form.modelChanged();
            form.setWindowTitle(caption);
            form.channelEditor()->hideEditors();
            form.firstStepDone();
        });
        window.startCommand();
    });
}
