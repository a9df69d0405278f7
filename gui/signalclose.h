#pragma once

class QWidget;

// SIGTERM and SIGINT close the window the normal way, so that everything an
// Exit stores is stored.
void closeOnTerminationSignals(QWidget* window);
