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

void addSafetyCommands(MainWindow& form, QMenu* programming, QMenu* tools, QMap<QString, QAction*>& actions)
{
    const PackStrings& t = form.state().texts;
    auto* compare = new QAction(t.text(TextId::CompareCaption), &form);
    compare->setObjectName(QStringLiteral("CompareItem"));
    programming->addAction(compare);
    actions.insert(compare->objectName(), compare);
    QObject::connect(compare, &QAction::triggered, &form, [&form] {
        if (form.state().radioBusy() || !form.channelEditor()->finishPendingEdit())
            return;
        CompareWindow window(form.context(), &form);
        window.startCommand();
    });

    auto* fleet = new QAction(t.text(TextId::FleetMenuItem), &form);
    fleet->setObjectName(QStringLiteral("FleetItem"));
    programming->addAction(fleet);
    actions.insert(fleet->objectName(), fleet);
    QObject::connect(fleet, &QAction::triggered, &form, [&form] {
        if (form.state().radioBusy() || !form.channelEditor()->finishPendingEdit())
            return;
        FleetWindow window(form.context(), &form);
        window.startCommand();
    });

    auto* backups = new QAction(t.text(TextId::BackupsCaption), &form);
    backups->setObjectName(QStringLiteral("BackupsItem"));
    tools->addAction(backups);
    actions.insert(backups->objectName(), backups);
    QObject::connect(backups, &QAction::triggered, &form, [&form] {
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

void applySafetyTexts(const QMap<QString, QAction*>& actions, const PackStrings& t)
{
    if (QAction* a = actions.value(QStringLiteral("CompareItem")))
        a->setText(t.text(TextId::CompareCaption));
    if (QAction* a = actions.value(QStringLiteral("FleetItem")))
        a->setText(t.text(TextId::FleetMenuItem));
    if (QAction* a = actions.value(QStringLiteral("BackupsItem")))
        a->setText(t.text(TextId::BackupsCaption));
}
