#pragma once
#include <QObject>
#include <QTimer>
#include <QtTest>

#include "app/appstate.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "radio/identity.h"
#include "radio/seriallink.h"
#include "sim/simradio.h"
#include "englishtexts.h"

// A failure's reason in English.
template <class Outcome>
QString why(const Outcome& out)
{
    return out.reason.text(englishTexts());
}

// A simulated radio on a pseudo-terminal with the program's side around it:
// the serial link pointed at it, a settings document with the two usual
// bands (400-470MHz selected), the identity fields and the shared state.
struct RadioFixture {
    SimRadio sim;
    SerialLink link;
    SettingsDocument doc;
    RadioIdentity identity;
    AppState state;

    RadioFixture()
    {
        QString error;
        if (!sim.start(&error))
            qFatal("cannot start the simulated radio: %s", qPrintable(error));
        link.setDevice(sim.devicePath());
        doc.setBandList({QStringLiteral("400-470MHz"), QStringLiteral("400-430MHz")});
        doc.setChoice(Key::Band, 0);
        state.modelId = QStringLiteral("4B512D195A18FF06");
        // Word cells and messages are compared with these; empty ones would
        // make such comparisons pass for nothing.
        if (doc.words().off.isEmpty() || state.text(60).isEmpty())
            qFatal("the built-in texts are missing");
    }

    void put(int address, const char* hex)
    {
        const QByteArray b = QByteArray::fromHex(hex);
        sim.memory().replace(address, b.size(), b);
    }
    QByteArray mem(int address, int length) { return sim.memory().mid(address, length); }

    // Puts `bytes` on the line once the radio has received frame `frame`,
    // which the test has told it not to answer: a late or short reply.
    void answerFrameWith(int frame, const QByteArray& bytes)
    {
        auto* t = new QTimer(&sim);
        t->setInterval(2);
        QObject::connect(t, &QTimer::timeout, &sim, [this, t, frame, bytes] {
            if (sim.framesReceived() >= frame) {
                t->stop();
                t->deleteLater();
                sim.sendAnswer(bytes);
            }
        });
        t->start();
    }
};

// Frame numbers of a transfer, counted as the radio counts them: the
// handshake is 1, the identity reads 2 to 5, password 6, model 7, band 8;
// then a read reads channel n's halves (9 + 2 (n - 1) and the one after).
// A write of a document that carries no records of its own first reads the
// option block halves and the timer record (9 to 11), then writes channel
// n's halves (12 + 2 (n - 1) and the one after), the option block halves
// and the timer record (76 to 78).
namespace Frame {
constexpr int Handshake = 1;
constexpr int Band = 8;
constexpr int channelFirstHalf(int n) { return 9 + 2 * (n - 1); }
constexpr int channelSecondHalf(int n) { return channelFirstHalf(n) + 1; }
constexpr int writtenFirstHalf(int n) { return 12 + 2 * (n - 1); }
constexpr int writtenSecondHalf(int n) { return writtenFirstHalf(n) + 1; }
constexpr int WrittenTimer = 78;
}
