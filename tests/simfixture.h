#pragma once
#include <QString>
#include <QTest>

#include "radio/seriallink.h"
#include "base/packstrings.h"
#include "sim/simradio.h"

// A simulated radio in this process and a serial link opened on it. The
// link's waits run the event loop that drives the radio.
struct SimFixture {
    SimRadio sim;
    SerialLink link;

    // Starts the radio and opens the link; false (with a test failure
    // message) when either cannot.
    bool up()
    {
        QString error;
        if (!sim.start(&error)) {
            qWarning("simulated radio: %s", qPrintable(error));
            return false;
        }
        link.setDevice(sim.devicePath());
        if (!link.open()) {
            qWarning("link: %s", qPrintable(link.failure().text(PackStrings::builtIn())));
            return false;
        }
        return true;
    }

    // One exchange as the protocol makes it: clear, send, wait, and the
    // answer taken off the line.
    QString exchange(const QString& hex, int digits, int ms = 500)
    {
        link.clearReceive();
        link.sendHex(hex);
        link.aSysDelay(digits, ms);
        const QString answer = link.receiveText();
        link.consumeReceived(int(answer.size()));
        return answer;
    }

    bool handshake() { return exchange("0254415652494E", 14) == "0674617672696E"; }
    bool serviceHandshake() { return exchange("020654415652494E", 18) == "060674617672696E16"; }
};
