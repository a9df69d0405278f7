#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// A simulated radio on a pseudo-terminal. It speaks the radio's side of the
// programming protocol and of the service protocol over a 64 KiB memory
// image. Tests use it in-process; rq300-sim runs it as a program.
class SimRadio : public QObject {
    Q_OBJECT
public:
    // Faults to inject. Frame numbers count every frame the radio has
    // received since start() (or resetCounters()), from 1; -1 means never.
    struct Faults {
        int noReplyToFrame = -1;        // swallow frame k without a reply
        int corruptReplyToFrame = -1;   // answer frame k with a damaged reply
        int refuseWriteFrame = -1;      // answer write frame k with something other than ACK
        int ignoreHandshakes = 0;       // the first n handshakes get no answer
        int closeAfterFrames = -1;      // close the line after frame k (cable pulled)
    };

    explicit SimRadio(QObject* parent = nullptr);
    ~SimRadio() override;

    bool start(QString* error = nullptr);    // opens the pseudo-terminal
    void stop();
    QString devicePath() const;               // the device the program opens

    void setEcho(bool on);       // single-wire cable: every byte comes back
    void setPacing(bool on);     // real 9600 8N1 byte times both ways
    void setFaults(const Faults& f);
    void resetCounters();

    // A fresh radio: model record, band 400-470MHz, identity records set.
    static QByteArray freshImage();
    QByteArray& memory();                    // 65536 bytes
    bool loadImage(const QString& path, QString* error = nullptr);
    bool saveImage(const QString& path, QString* error = nullptr) const;

    int framesReceived() const;
    // Address of every write frame the radio acknowledged, in order.
    QList<int> writtenAddresses() const;
};
