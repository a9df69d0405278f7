#include "channel.h"

Channel::Channel()
{
    for (int c = 1; c < Column::Count; ++c)
        text[c] = QString();
    text[Column::TxFrequency].reset();   // no transmit frequency shows as an empty cell
}

Channel Channel::withValues(qint64 rx)
{
    Channel ch;
    ch.text.fill(std::nullopt);
    ch.rxHz = rx;
    ch.txHz = rx;
    return ch;
}

bool Channel::sameCell(const Channel& a, const Channel& b, int col)
{
    if (a.text[col] || b.text[col])
        return a.text[col] == b.text[col];
    switch (col) {
    case Column::RxFrequency: return a.rxHz == b.rxHz;
    case Column::RxTone: return a.rxTone == b.rxTone;
    case Column::TxFrequency: return a.txHz == b.txHz;
    case Column::TxTone: return a.txTone == b.txTone;
    case Column::Power: return a.power == b.power;
    case Column::Bandwidth: return a.bandwidth == b.bandwidth;
    case Column::Scan: return a.scan == b.scan;
    case Column::BusyLock: return a.busyLock == b.busyLock;
    case Column::TailElimination: return a.tailElimination == b.tailElimination;
    case Column::Compander: return a.compander == b.compander;
    case Column::PttId: return a.pttId == b.pttId;
    default: return true;
    }
}

bool Channel::operator==(const Channel& o) const
{
    for (int c = 1; c < Column::Count; ++c)
        if (!sameCell(*this, o, c))
            return false;
    return true;
}
