#pragma once
#include <QMap>
#include <QString>

class QAction;
class MainWindow;

// What Programming > Compare with radio, Programming > Program several
// radios and Tools > Backups do: the commands of the main window's action
// table ("CompareItem", "FleetItem", "BackupsItem") open their windows.
void connectSafetyCommands(MainWindow& form, const QMap<QString, QAction*>& actions);
