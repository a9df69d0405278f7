#include "gui/childwindow.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

void hideInsteadOfClosing(QWidget* window, QCloseEvent* e)
{
    e->ignore();
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->hide();
    else
        window->hide();
}
