#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "base/result.h"

// The fifteen alignment values of the service window, kept as the texts the
// technician sees, and the three radio records that carry them.
class AlignmentValues {
public:
    struct Field {
        QString name;      // control name, e.g. "Edit401"
        int labelId = 0;   // text id: where the technician finds it on the window
        int min = 0;
        int max = 255;
        bool hex = false;  // two hexadecimal digits instead of a decimal number
        QString initial;
        int maxLength = 0; // characters its edit box takes; 0 for no limit
    };

    static constexpr int FrequencyRecord = 0x4020;   // trim and power
    static constexpr int DeviationRecord = 0x4028;   // deviation settings
    static constexpr int ModRecord = 0x4030;         // "1846 MOD" and low battery

    // In the order of the window's table: Edit413, Edit401 .. Edit412, Edit201, Edit202.
    static const QList<Field>& fields();
    static const Field* field(const QString& name);
    // The value lines of an alignment file: Edit201, Edit202, Edit401 .. Edit413.
    static const QStringList& fileOrder();

    AlignmentValues();   // the initial texts

    QString text(const QString& name) const { return m_texts.value(name); }
    void setText(const QString& name, const QString& text);

    // Success when `text` can be written as the field's byte(s); otherwise
    // what is wrong, naming the field.
    static Result checkValue(const Field& f, const QString& text);
    // The first field that cannot be written, described; success when all can.
    Result checkAll() const;

    // The record at one of the three addresses; empty when a value cannot be
    // coded (checkAll() says which).
    QByteArray record(int address) const;
    // Sets the values an 8-byte record carries; false for a short record or
    // an address that holds no alignment values.
    bool setFromRecord(int address, const QByteArray& eight);

    bool operator==(const AlignmentValues& o) const { return m_texts == o.m_texts; }

private:
    int byteValue(const QString& name) const;   // -1 when it cannot be coded
    QHash<QString, QString> m_texts;
};
