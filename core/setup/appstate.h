#pragma once
#include <QObject>

#include "setup/packstrings.h"

// Application state that several windows share; AppSession owns it.
class AppState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The administrator name the program stamps into a radio and shows.
    static QString defaultAdminName() { return QStringLiteral("Tavrin"); }

    int language = 0;            // 1 simplified Chinese, 2 English, 3 traditional; 0 before any pack
    int chosenPort = 1;          // COM1 .. COM16
    bool singlePort = false;     // the cable echoes every byte sent
    int channelCount = 32;
    int editCol = 1;             // the cell under edit of the channel table
    int editRow = 1;
    QString modelId;             // 16 hex digits, set by the model change
    QString adminName = defaultAdminName();
    bool stampFactoryDate = false;   // the alignment window's "写入出厂日期"

    // True while a radio operation runs; commands that talk to the radio wait,
    // and Exit is deferred until it ends.
    bool radioBusy() const { return m_busy; }
    void setRadioBusy(bool busy)
    {
        if (busy == m_busy)
            return;
        m_busy = busy;
        emit radioBusyChanged(busy);
    }

    // The active texts: the built-in ones with the last applied pack over them.
    PackStrings texts = PackStrings::builtIn();
    QString text(int id) const { return texts.text(id); }

signals:
    void radioBusyChanged(bool busy);

private:
    bool m_busy = false;
};
