#pragma once

class QCloseEvent;
class QWidget;

// Closing an editor child window only hides it, with its MDI frame when it
// has one; the main window's command brings it back with its contents.
void hideInsteadOfClosing(QWidget* window, QCloseEvent* e);
