#pragma once
#include <QObject>
#include <QString>

#include "base/packstrings.h"

// What a transfer with a radio needs besides the document and the link: how
// many channels, whether the cable echoes, what to stamp, the language its
// messages name records in, and the one flag that says a radio operation is
// running (so that no second one starts). The window program's shared state
// extends it; the command-line tool makes one per radio.
class TransferContext : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The administrator name the program stamps into a radio and shows.
    static QString defaultAdminName() { return QStringLiteral("Tavrin"); }

    bool singlePort = false;     // the cable echoes every byte sent
    int channelCount = 32;
    QString adminName = defaultAdminName();
    bool stampFactoryDate = false;   // the alignment window's "写入出厂日期"

    // The active texts: the built-in ones with the last applied pack over them.
    PackStrings texts = PackStrings::builtIn();
    QString text(int id) const { return texts.text(id); }

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

signals:
    void radioBusyChanged(bool busy);

private:
    bool m_busy = false;
};
