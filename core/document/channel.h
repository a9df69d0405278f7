#pragma once
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// A sub-audible tone: none, a CTCSS tone in tenths of a hertz (885 is
// 88.5 Hz), or a DCS code (its three octal digits as a number, 023 octal is
// 19) sent normal or inverted.
struct Tone {
    enum class Kind : quint8 { Off, Ctcss, Dcs };
    Kind kind = Kind::Off;
    int value = 0;
    bool inverted = false;

    static Tone off() { return {}; }
    static Tone ctcss(int tenths) { return {Kind::Ctcss, tenths, false}; }
    static Tone dcs(int code, bool inverted) { return {Kind::Dcs, code, inverted}; }
    bool operator==(const Tone&) const = default;
};

enum class Power : quint8 { High, Low };
enum class Bandwidth : quint8 { Wide, Narrow };
// Files of older programs name the compander "Comp" or a scrambler; the
// radio stores either as on.
enum class Compander : quint8 { Off, On, Comp, Scrambler };

// The columns of the channel table, in the order the settings file, CSV and
// the clipboard hold them; column 0 is the channel number.
namespace Column {
enum : int {
    Number = 0,
    RxFrequency,
    RxTone,
    TxFrequency,
    TxTone,
    Power,
    Bandwidth,
    Scan,
    BusyLock,
    TailElimination,
    Compander,
    PttId,
    Count
};
}

// One channel's values. A cell that names no value keeps its text instead:
// a frequency while it is typed, the empty cells of a channel being made, a
// damaged file's word. Such text is shown and saved as it is, and a write
// names it rather than guessing; nothing typed or opened is lost. Every cell
// of an unused channel is such an empty text.
struct Channel {
    qint64 rxHz = 0;
    std::optional<qint64> txHz;   // none: the channel does not transmit
    Tone rxTone;
    Tone txTone;
    Power power = Power::High;
    Bandwidth bandwidth = Bandwidth::Wide;
    bool scan = true;
    bool busyLock = false;
    bool tailElimination = true;
    Compander compander = Compander::Off;
    bool pttId = false;

    // Indexed by column; a value when empty.
    std::array<std::optional<QString>, Column::Count> text;

    Channel();                                   // unused: every cell empty
    // A channel with every cell a value, at what a new channel starts with.
    static Channel withValues(qint64 rxHz);

    bool exists() const { return !text[Column::RxFrequency] || !text[Column::RxFrequency]->isEmpty(); }
    bool holdsValue(int col) const { return col > 0 && col < Column::Count && !text[col]; }
    // Gives column `col` its value again, after the value field was set.
    void markValue(int col) { text[col].reset(); }
    void setText(int col, const QString& t) { text[col] = t; }

    // The cell shows the same thing in both (values compared, not fields
    // hidden behind a text).
    static bool sameCell(const Channel& a, const Channel& b, int col);
    bool operator==(const Channel& o) const;
};
