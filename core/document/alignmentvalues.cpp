#include "alignmentvalues.h"

#include "base/hex.h"
#include "base/textids.h"


namespace {

QList<AlignmentValues::Field> makeFields()
{
    auto dec = [](const char* name, int label, int max, const char* initial, int length) {
        return AlignmentValues::Field{QLatin1String(name), label, 0, max, false, QLatin1String(initial), length};
    };
    auto hex = [](const char* name, int label, const char* initial) {
        return AlignmentValues::Field{QLatin1String(name), label, 0, 255, true, QLatin1String(initial), 0};
    };
    using namespace TextId;
    return {
        dec("Edit413", AlignNameTrim, 4095, "0", 5),
        dec("Edit401", AlignNameHighPowerLow, 200, "0", 3),
        dec("Edit402", AlignNameHighPowerHigh, 200, "0", 3),
        dec("Edit403", AlignNameLowPowerLow, 63, "0", 3),
        dec("Edit404", AlignNameLowPowerHigh, 63, "0", 3),
        dec("Edit407", AlignNameCtcDeviation, 255, "0", 3),
        dec("Edit408", AlignNameDcsDeviation, 255, "0", 3),
        dec("Edit409", AlignNameNarrowDeviation, 255, "0", 3),
        dec("Edit410", AlignNameNarrowCtcDeviation, 255, "0", 3),
        dec("Edit411", AlignNameNarrowDcsDeviation, 255, "0", 3),
        dec("Edit405", AlignNameModBasic, 255, "43", 5),
        dec("Edit406", AlignNameModUpper, 255, "17", 5),
        dec("Edit412", AlignNameModLower, 255, "6", 5),
        hex("Edit201", AlignNameBatteryAlert, "00"),
        hex("Edit202", AlignNameBatteryOff, "0D"),
    };
}

bool allDigits(const QString& t)
{
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The value of a field's text, or -1 when it is not a value of the field.
int parse(const AlignmentValues::Field& f, const QString& t)
{
    if (f.hex) {
        if (t.size() != 2 || Hex::digitValue(t[0]) < 0 || Hex::digitValue(t[1]) < 0)
            return -1;
        return Hex::digitValue(t[0]) * 16 + Hex::digitValue(t[1]);
    }
    // No longer than its edit box takes, or showing it would cut it short.
    if (!allDigits(t) || (f.maxLength > 0 && t.size() > f.maxLength))
        return -1;
    const int v = t.toInt();
    return v >= f.min && v <= f.max ? v : -1;
}

} // namespace

const QList<AlignmentValues::Field>& AlignmentValues::fields()
{
    static const QList<Field> all = makeFields();
    return all;
}

const AlignmentValues::Field* AlignmentValues::field(const QString& name)
{
    for (const Field& f : fields())
        if (f.name == name)
            return &f;
    return nullptr;
}

const QStringList& AlignmentValues::fileOrder()
{
    static const QStringList order = [] {
        QStringList o{QStringLiteral("Edit201"), QStringLiteral("Edit202")};
        for (int n = 401; n <= 413; ++n)
            o << QStringLiteral("Edit%1").arg(n);
        return o;
    }();
    return order;
}

AlignmentValues::AlignmentValues()
{
    for (const Field& f : fields())
        m_texts.insert(f.name, f.initial);
}

void AlignmentValues::setText(const QString& name, const QString& text)
{
    if (m_texts.contains(name))
        m_texts[name] = text;
}

Result AlignmentValues::checkValue(const Field& f, const QString& t)
{
    // The field's label, in the active language, comes after the values.
    const Result label = Result::named(f.labelId);
    if (t.isEmpty())
        return Result::because(TextId::AlignValueMissing, label, {f.name});
    if (parse(f, t) >= 0)
        return Result::success();
    if (f.hex)
        return Result::because(TextId::AlignmentValueNotHex, label, {f.name, t});
    return Result::because(TextId::AlignmentValueNotNumber, label,
                           {f.name, QString::number(f.min), QString::number(f.max), t});
}

Result AlignmentValues::checkAll() const
{
    for (const Field& f : fields()) {
        if (Result problem = checkValue(f, text(f.name)); !problem)
            return problem;
    }
    return Result::success();
}

int AlignmentValues::byteValue(const QString& name) const
{
    const Field* f = field(name);
    return f ? parse(*f, text(name)) : -1;
}

QByteArray AlignmentValues::record(int address) const
{
    auto v = [this](const char* name) { return byteValue(QLatin1String(name)); };
    QList<int> bytes;
    switch (address) {
    case FrequencyRecord: {
        const int trim = v("Edit413");
        const int tenths = trim < 0 ? -1 : trim * 10;
        bytes = {tenths < 0 ? -1 : tenths >> 8, tenths < 0 ? -1 : tenths & 0xFF,
                 v("Edit401"), 0xFF, v("Edit402"), v("Edit403"), 0xFF, v("Edit404")};
        break;
    }
    case DeviationRecord:
        bytes = {0x00, v("Edit407"), v("Edit408"), 0xFF, v("Edit409"), v("Edit410"), v("Edit411"), 0xFF};
        break;
    case ModRecord:
        bytes = {v("Edit405"), v("Edit406"), v("Edit412"), 0xFF, v("Edit201"), v("Edit202"), 0xFF, 0xFF};
        break;
    default:
        return {};
    }
    QByteArray out;
    for (int b : bytes) {
        if (b < 0 || b > 0xFF)
            return {};
        out.append(char(b));
    }
    return out;
}

bool AlignmentValues::setFromRecord(int address, const QByteArray& rec)
{
    if (rec.size() < 8)
        return false;
    auto b = [&rec](int i) { return int(quint8(rec[i])); };
    auto set = [this](const char* name, int value) { setText(QLatin1String(name), QString::number(value)); };
    switch (address) {
    case FrequencyRecord:
        set("Edit413", (b(0) << 8 | b(1)) / 10);
        set("Edit401", b(2));
        set("Edit402", b(4));
        set("Edit403", b(5));
        set("Edit404", b(7));
        return true;
    case DeviationRecord:
        set("Edit407", b(1));
        set("Edit408", b(2));
        set("Edit409", b(4));
        set("Edit410", b(5));
        set("Edit411", b(6));
        return true;
    case ModRecord:
        set("Edit405", b(0));
        set("Edit406", b(1));
        set("Edit412", b(2));
        setText(QStringLiteral("Edit201"), QStringLiteral("%1").arg(b(4), 2, 16, QChar(u'0')).toUpper());
        setText(QStringLiteral("Edit202"), QStringLiteral("%1").arg(b(5), 2, 16, QChar(u'0')).toUpper());
        return true;
    default:
        return false;
    }
}
