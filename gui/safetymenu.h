#pragma once
#include <QMap>
#include <QString>

class QAction;
class MainWindow;

// What Programming > Compare with radio and Tools > Backups do: the two
// commands of the main window's action table ("CompareItem", "BackupsItem")
// open their windows.
void connectSafetyCommands(MainWindow& form, const QMap<QString, QAction*>& actions);
