#pragma once
#include <QMap>
#include <QString>

class PackStrings;
class QAction;
class QMenu;
class MainWindow;

// Programming > Compare with radio, Programming > Program several radios and
// Tools > Backups, added to the main window's menus; their actions go into
// `actions` by object name ("CompareItem", "FleetItem", "BackupsItem").
void addSafetyCommands(MainWindow& form, QMenu* programming, QMenu* tools, QMap<QString, QAction*>& actions);
void applySafetyTexts(const QMap<QString, QAction*>& actions, const PackStrings& texts);
