#pragma once

class QWidget;

// SIGTERM and SIGINT close the window the normal way, so that everything an
// Exit stores is stored. A window with an invokable closeForTermination()
// gets that call instead, so that it can close without asking anything.
void closeOnTerminationSignals(QWidget* window);
