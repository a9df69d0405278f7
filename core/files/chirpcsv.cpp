#include "chirpcsv.h"

#include <QHash>
#include <optional>

#include "files/csvrecords.h"
#include "files/textcodec.h"
#include "document/band.h"
#include "document/tonelist.h"
#include "base/textids.h"

namespace ChirpCsv {

namespace {

// CHIRP's default for a tone field the row's mode does not use.
constexpr int DefaultToneTenths = 885;
constexpr int DefaultDcsCode = 023;
// Transmit offsets up to this are a repeater pair, written as "+"/"-";
// farther apart the two frequencies are written as a split.
constexpr qint64 MaxRepeaterOffsetHz = 10'000'000;

const QString DuplexWords = QStringLiteral("+, -, split, off");
const QString ToneWords = QStringLiteral("Tone, TSQL, DTCS, Cross, TSQL-R, DTCS-R");
const QStringList CrossModes = {
    QStringLiteral("Tone->Tone"), QStringLiteral("Tone->DTCS"), QStringLiteral("DTCS->Tone"),
    QStringLiteral("DTCS->DTCS"), QStringLiteral("->Tone"),     QStringLiteral("->DTCS"),
    QStringLiteral("DTCS->"),     QStringLiteral("Tone->")};

// A decimal number as an integer of `decimals` places ("446.00625", 6 ->
// 446006250); digits beyond those places must be zeros. Either separator,
// as a spreadsheet in any locale writes it.
std::optional<qint64> decimal(const QString& text, int decimals)
{
    const QString t = text.trimmed();
    const qsizetype sep = qMax(t.indexOf(u'.'), t.indexOf(u','));
    const QString whole = sep < 0 ? t : t.left(sep);
    QString frac = sep < 0 ? QString() : t.mid(sep + 1);
    while (frac.size() > decimals && frac.endsWith(u'0'))
        frac.chop(1);
    if (whole.isEmpty() || whole.size() > 6 || frac.size() > decimals)
        return std::nullopt;
    for (QChar c : whole + frac)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    return whole.toLongLong() * scale + frac.leftJustified(decimals, u'0').toLongLong();
}

QString megahertz(qint64 hz)
{
    return QString::asprintf("%lld.%06lld", hz / 1'000'000, hz % 1'000'000);
}

QString hertz(int tenths)
{
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString dcsDigits(int code)
{
    return QStringLiteral("%1").arg(code, 3, 8, QChar(u'0'));
}

// One row's fields by column name; a column the file lacks reads as empty.
class Row {
public:
    Row(const QHash<QString, int>& columns, const QStringList& fields) : m_columns(columns), m_fields(fields) {}
    QString operator[](const QString& name) const
    {
        const int i = m_columns.value(name, -1);
        return i >= 0 && i < m_fields.size() ? m_fields[i].trimmed() : QString();
    }

private:
    const QHash<QString, int>& m_columns;
    const QStringList& m_fields;
};

// Reads one row into a channel, collecting every reason the radio cannot
// hold it.
class RowReader {
public:
    RowReader(const Row& row, const QString& band) : m_row(row), m_band(band) {}

    std::optional<Channel> channel()
    {
        const std::optional<qint64> rx = frequency(QStringLiteral("Frequency"), m_row[QStringLiteral("Frequency")]);
        Channel ch = Channel::withValues(rx.value_or(0));
        ch.txHz = transmit(rx);
        tones(ch);
        mode(ch);
        scan(ch);
        power(ch);
        if (!problems.isEmpty())
            return std::nullopt;
        return ch;
    }

    QList<Result> problems;

private:
    void refuse(int id, QStringList values) { problems << Result::fail(id, std::move(values)); }

    // A frequency within the band and on the 5 kHz or 6.25 kHz raster.
    std::optional<qint64> frequency(const QString& column, const QString& text)
    {
        const std::optional<qint64> hz = decimal(text, 6);
        if (!hz) {
            refuse(TextId::ChirpNotNumber, {column, text});
            return std::nullopt;
        }
        return inBand(column, *hz);
    }

    std::optional<qint64> inBand(const QString& column, qint64 hz)
    {
        if (hz < Band::lower(m_band) * 1'000'000LL || hz > Band::upper(m_band) * 1'000'000LL) {
            refuse(TextId::ChirpOutsideBand, {column, megahertz(hz), m_band});
            return std::nullopt;
        }
        if (hz % 5000 != 0 && hz % 6250 != 0) {
            refuse(TextId::ChirpOffRaster, {column, megahertz(hz)});
            return std::nullopt;
        }
        return hz;
    }

    std::optional<qint64> transmit(std::optional<qint64> rx)
    {
        const QString duplex = m_row[QStringLiteral("Duplex")].toLower();
        if (duplex.isEmpty())
            return rx;
        if (duplex == u"off")
            return std::nullopt;
        const QString offsetText = m_row[QStringLiteral("Offset")];
        if (duplex == u"split")
            return frequency(QStringLiteral("Offset"), offsetText);
        if (duplex != u"+" && duplex != u"-") {
            refuse(TextId::ChirpNotOneOf, {QStringLiteral("Duplex"), m_row[QStringLiteral("Duplex")], DuplexWords});
            return std::nullopt;
        }
        const std::optional<qint64> offset = decimal(offsetText, 6);
        if (!offset) {
            refuse(TextId::ChirpNotNumber, {QStringLiteral("Offset"), offsetText});
            return std::nullopt;
        }
        if (!rx)
            return std::nullopt;
        return inBand(QStringLiteral("Duplex/Offset"), duplex == u"+" ? *rx + *offset : *rx - *offset);
    }

    Tone ctcss(const QString& column)
    {
        QString text = m_row[column];
        if (text.isEmpty())
            text = hertz(DefaultToneTenths);   // CHIRP's default, as for a missing column
        const std::optional<qint64> tenths = decimal(text, 1);
        if (!tenths) {
            refuse(TextId::ChirpNotNumber, {column, text});
            return {};
        }
        if (!ToneList::ctcssTenths().contains(int(*tenths))) {
            refuse(TextId::ChirpCtcssNotInList, {column, hertz(int(*tenths))});
            return {};
        }
        return Tone::ctcss(int(*tenths));
    }

    // A DCS code as its octal digits' value; each code field is read and
    // named at most once however many directions use it.
    std::optional<int> dcsCode(const QString& column)
    {
        if (m_codes.contains(column))
            return m_codes[column];
        // An empty or missing code is CHIRP's default; files before 2023
        // have one code for both directions.
        QString text = m_row[column];
        if (text.isEmpty() && column == u"RxDtcsCode")
            text = m_row[QStringLiteral("DtcsCode")];
        if (text.isEmpty())
            text = dcsDigits(DefaultDcsCode);
        bool octal = !text.isEmpty() && text.size() <= 3;
        for (QChar c : text)
            octal = octal && c >= u'0' && c <= u'7';
        std::optional<int> code;
        if (octal && ToneList::dcsCodes().contains(text.rightJustified(3, u'0')))
            code = text.toInt(nullptr, 8);
        else
            refuse(TextId::ChirpDcsNotInList, {column, text});
        m_codes.insert(column, code);
        return code;
    }

    // `direction` is 0 for the transmit letter of DtcsPolarity, 1 for the
    // receive one; true for R, inverted.
    bool inverted(int direction)
    {
        if (!m_polarity) {
            QString letters = m_row[QStringLiteral("DtcsPolarity")].toUpper();
            if (letters.isEmpty())
                letters = QStringLiteral("NN");
            const QString nr = QStringLiteral("NR");
            if (letters.size() != 2 || !nr.contains(letters[0]) || !nr.contains(letters[1])) {
                refuse(TextId::ChirpNotOneOf, {QStringLiteral("DtcsPolarity"), m_row[QStringLiteral("DtcsPolarity")],
                                               QStringLiteral("NN, NR, RN, RR")});
                letters = QStringLiteral("NN");
            }
            m_polarity = letters;
        }
        return m_polarity->at(direction) == u'R';
    }

    Tone dcs(const QString& column, int direction)
    {
        const std::optional<int> code = dcsCode(column);
        const bool inv = inverted(direction);
        return code ? Tone::dcs(*code, inv) : Tone();
    }

    void tones(Channel& ch)
    {
        const QString mode = m_row[QStringLiteral("Tone")];
        const QString rTone = QStringLiteral("rToneFreq"), cTone = QStringLiteral("cToneFreq");
        const QString code = QStringLiteral("DtcsCode"), rxCode = QStringLiteral("RxDtcsCode");
        if (mode.isEmpty())
            return;
        if (mode == u"Tone") {
            ch.txTone = ctcss(rTone);
        } else if (mode == u"TSQL") {
            ch.txTone = ch.rxTone = ctcss(cTone);
        } else if (mode == u"DTCS") {
            ch.txTone = dcs(code, 0);
            ch.rxTone = dcs(code, 1);
        } else if (mode == u"TSQL-R") {
            ch.rxTone = ctcss(cTone);
        } else if (mode == u"DTCS-R") {
            ch.rxTone = dcs(rxCode, 1);
        } else if (mode == u"Cross") {
            QString cross = m_row[QStringLiteral("CrossMode")];
            if (cross.isEmpty())
                cross = CrossModes.first();
            if (!CrossModes.contains(cross)) {
                refuse(TextId::ChirpNotOneOf, {QStringLiteral("CrossMode"), cross, CrossModes.join(QStringLiteral(", "))});
                return;
            }
            const QString tx = cross.section(QStringLiteral("->"), 0, 0);
            const QString rx = cross.section(QStringLiteral("->"), 1, 1);
            if (tx == u"Tone")
                ch.txTone = ctcss(rTone);
            else if (tx == u"DTCS")
                ch.txTone = dcs(code, 0);
            if (rx == u"Tone")
                ch.rxTone = ctcss(cTone);
            else if (rx == u"DTCS")
                ch.rxTone = dcs(rxCode, 1);
        } else {
            refuse(TextId::ChirpNotOneOf, {QStringLiteral("Tone"), mode, ToneWords});
        }
    }

    void mode(Channel& ch)
    {
        const QString mode = m_row[QStringLiteral("Mode")].toUpper();
        if (mode.isEmpty() || mode == u"FM")
            ch.bandwidth = Bandwidth::Wide;
        else if (mode == u"NFM")
            ch.bandwidth = Bandwidth::Narrow;
        else
            refuse(TextId::ChirpMode, {m_row[QStringLiteral("Mode")]});
    }

    void scan(Channel& ch)
    {
        const QString skip = m_row[QStringLiteral("Skip")].toUpper();
        if (skip.isEmpty() || skip == u"P")
            ch.scan = true;
        else if (skip == u"S")
            ch.scan = false;
        else
            refuse(TextId::ChirpNotOneOf, {QStringLiteral("Skip"), m_row[QStringLiteral("Skip")], QStringLiteral("S, P")});
    }

    void power(Channel& ch)
    {
        QString text = m_row[QStringLiteral("Power")];
        if (text.isEmpty())
            return;   // files before 2023 have no power: the high level
        if (text.compare(u"High", Qt::CaseInsensitive) == 0 || text.compare(u"Low", Qt::CaseInsensitive) == 0) {
            ch.power = text.compare(u"Low", Qt::CaseInsensitive) == 0 ? Power::Low : Power::High;
            return;
        }
        if (text.endsWith(u'W', Qt::CaseInsensitive))
            text.chop(1);
        const std::optional<qint64> tenths = decimal(text, 1);
        if (!tenths) {
            refuse(TextId::ChirpPower, {m_row[QStringLiteral("Power")]});
            return;
        }
        ch.power = *tenths < qint64(LowPowerBelowWatts * 10) ? Power::Low : Power::High;
    }

    const Row& m_row;
    QString m_band;
    QHash<QString, std::optional<int>> m_codes;
    std::optional<QString> m_polarity;
};

using Fields = QHash<QString, QString>;

// Why channel `row` cannot be written as a CHIRP row: a cell CHIRP has a
// column for names no value.
std::optional<Result> notAValue(const Channel& ch, int row)
{
    for (int col : {Column::RxFrequency, Column::RxTone, Column::TxFrequency, Column::TxTone, Column::Power,
                    Column::Bandwidth, Column::Scan})
        if (!ch.holdsValue(col))
            return Result::fail(TextId::ChirpChannelSkipped, {QString::number(row), *ch.text[col]},
                                {Result::named(TextId::ColumnChannel + col)});
    return std::nullopt;
}

void writeDuplex(Fields& f, const Channel& ch)
{
    if (!ch.txHz) {
        f[QStringLiteral("Duplex")] = QStringLiteral("off");
        return;
    }
    const qint64 offset = *ch.txHz - ch.rxHz;
    if (offset == 0)
        return;
    if (qAbs(offset) > MaxRepeaterOffsetHz) {
        f[QStringLiteral("Duplex")] = QStringLiteral("split");
        f[QStringLiteral("Offset")] = megahertz(*ch.txHz);
    } else {
        f[QStringLiteral("Duplex")] = offset > 0 ? QStringLiteral("+") : QStringLiteral("-");
        f[QStringLiteral("Offset")] = megahertz(qAbs(offset));
    }
}

// The simplest tone mode that says what the channel does, then the fields
// CHIRP reads for it.
void writeTones(Fields& f, const Channel& ch)
{
    const Tone& t = ch.txTone;
    const Tone& r = ch.rxTone;
    const auto side = [](const Tone& tone) {
        return tone.kind == Tone::Kind::Ctcss ? QStringLiteral("Tone")
               : tone.kind == Tone::Kind::Dcs ? QStringLiteral("DTCS")
                                              : QString();
    };
    QString mode = QStringLiteral("Cross");
    if (t.kind == Tone::Kind::Off && r.kind == Tone::Kind::Off)
        mode = QString();
    else if (t.kind == Tone::Kind::Ctcss && r.kind == Tone::Kind::Off)
        mode = QStringLiteral("Tone");
    else if (t.kind == Tone::Kind::Ctcss && r == t)
        mode = QStringLiteral("TSQL");
    else if (t.kind == Tone::Kind::Dcs && r.kind == Tone::Kind::Dcs && r.value == t.value)
        mode = QStringLiteral("DTCS");
    f[QStringLiteral("Tone")] = mode;
    if (mode == u"Cross")
        f[QStringLiteral("CrossMode")] = side(t) + QStringLiteral("->") + side(r);
    if (t.kind == Tone::Kind::Ctcss)
        f[QStringLiteral("rToneFreq")] = hertz(t.value);
    if (r.kind == Tone::Kind::Ctcss)
        f[QStringLiteral("cToneFreq")] = hertz(r.value);
    if (t.kind == Tone::Kind::Dcs)
        f[QStringLiteral("DtcsCode")] = dcsDigits(t.value);
    if (r.kind == Tone::Kind::Dcs)
        f[QStringLiteral("RxDtcsCode")] = dcsDigits(r.value);   // DTCS: the same code as DtcsCode
    f[QStringLiteral("DtcsPolarity")] = QString(t.kind == Tone::Kind::Dcs && t.inverted ? u'R' : u'N')
                                        + QChar(r.kind == Tone::Kind::Dcs && r.inverted ? u'R' : u'N');
}

// A channel's row, numbers written as CHIRP writes them; the fields no mode
// uses hold CHIRP's defaults.
Fields rowFields(const Channel& ch, int row)
{
    Fields f{
        {QStringLiteral("Location"), QString::number(row)},
        {QStringLiteral("Name"), QStringLiteral("CH%1").arg(row, 2, 10, QChar(u'0'))},
        {QStringLiteral("Frequency"), megahertz(ch.rxHz)},
        {QStringLiteral("Offset"), megahertz(0)},
        {QStringLiteral("rToneFreq"), hertz(DefaultToneTenths)},
        {QStringLiteral("cToneFreq"), hertz(DefaultToneTenths)},
        {QStringLiteral("DtcsCode"), dcsDigits(DefaultDcsCode)},
        {QStringLiteral("RxDtcsCode"), dcsDigits(DefaultDcsCode)},
        {QStringLiteral("CrossMode"), CrossModes.first()},
        {QStringLiteral("Mode"), ch.bandwidth == Bandwidth::Narrow ? QStringLiteral("NFM") : QStringLiteral("FM")},
        {QStringLiteral("Skip"), ch.scan ? QString() : QStringLiteral("S")},
        {QStringLiteral("Power"), QStringLiteral("%1W").arg(ch.power == Power::Low ? LowWatts : HighWatts, 0, 'f', 1)}};
    const qint64 tx = ch.txHz.value_or(ch.rxHz);
    f[QStringLiteral("TStep")] = ch.rxHz % 5000 == 0 && tx % 5000 == 0 ? QStringLiteral("5.00") : QStringLiteral("6.25");
    writeDuplex(f, ch);
    writeTones(f, ch);
    return f;
}

} // namespace

bool recognises(const QByteArray& bytes)
{
    const QString first = TextCodec::decode(bytes.left(bytes.indexOf('\n'))).remove(u'\r');
    Result ignored;
    const QList<CsvRecords::Record> header = CsvRecords::split(first, CsvRecords::detectDelimiter(first), &ignored);
    if (header.isEmpty())
        return false;
    QStringList names;
    for (const QString& f : header.first().fields)
        names << f.trimmed();
    return names.contains(QStringLiteral("Location")) && names.contains(QStringLiteral("Frequency"));
}

ImportResult importTable(const QByteArray& bytes, const DocumentData& base)
{
    ImportResult result;
    const QString band = base.band();
    if (!Band::isWellFormed(band)) {
        result.fileError = Result::fail(TextId::CsvNoBand);
        return result;
    }
    const QString text = TextCodec::decode(bytes);
    const QList<CsvRecords::Record> records = CsvRecords::split(text, CsvRecords::detectDelimiter(text), &result.fileError);
    if (!result.fileError)
        return result;

    QHash<QString, int> columns;
    if (!records.isEmpty())
        for (int i = 0; i < records[0].fields.size(); ++i)
            columns.insert(records[0].fields[i].trimmed(), i);

    DocumentData d = base;
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        d.clearChannel(row);
    QHash<int, int> lineOfLocation;
    for (qsizetype i = 1; i < records.size(); ++i) {
        if (CsvRecords::blank(records[i].fields))
            continue;
        const Row row(columns, records[i].fields);
        const QString line = QString::number(records[i].line);
        QList<Result> problems;
        bool numberOk = false;
        const int location = row[QStringLiteral("Location")].toInt(&numberOk);
        if (!numberOk || location < 1 || location > DocumentData::ChannelCount)
            problems << Result::fail(TextId::ChirpLocation,
                                     {row[QStringLiteral("Location")], QString::number(DocumentData::ChannelCount)});
        else if (lineOfLocation.contains(location))
            problems << Result::fail(TextId::ChirpLocationTwice,
                                     {QString::number(location), QString::number(lineOfLocation[location])});
        RowReader reader(row, band);
        const std::optional<Channel> ch = reader.channel();
        problems << reader.problems;
        if (!problems.isEmpty()) {
            result.refused << Result::because(TextId::CsvLine, CsvRecords::joined(problems), {line});
            continue;
        }
        lineOfLocation.insert(location, records[i].line);
        d.setChannel(location, *ch);
        ++result.imported;
        for (const char* dropped : {"Name", "Comment", "TStep"})
            result.leftOut = result.leftOut || !row[QLatin1String(dropped)].isEmpty();
    }
    result.data = d;
    return result;
}

Result importSummary(const ImportResult& result, const QString& source)
{
    std::vector<Result> refused(result.refused.cbegin(), result.refused.cend());
    if (!result.fileError)
        refused = {result.fileError};
    else if (refused.empty() && result.imported == 0)
        refused = {Result::fail(TextId::ChirpNoRows)};
    if (!result.ok())
        return Result::fail(TextId::ImportFailed, {source}, {Result::lines(refused)});

    std::vector<Result> lines{Result::fail(TextId::CsvImported, {QString::number(result.imported), source})};
    if (!refused.empty())
        lines.push_back(Result::fail(TextId::ChirpRefusedRows, {QString::number(refused.size())},
                                     {Result::lines(refused)}));
    if (result.leftOut)
        lines.push_back(Result::fail(TextId::ChirpLeftOut));
    return Result::lines(lines);
}

ExportResult exportTable(const DocumentData& data)
{
    ExportResult result;
    QString out = CsvRecords::line(Header);
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        const Channel& ch = data.channel(row);
        if (!ch.exists())
            continue;
        if (const std::optional<Result> why = notAValue(ch, row)) {
            result.skipped << *why;
            continue;
        }
        const Fields f = rowFields(ch, row);
        QStringList fields;
        for (const QString& name : Header)
            fields << f.value(name);
        out += CsvRecords::line(fields);
        ++result.exported;
    }
    result.bytes = out.toUtf8();
    return result;
}

Result exportSummary(const ExportResult& result, const QString& target)
{
    std::vector<Result> lines{Result::fail(TextId::CsvExported, {QString::number(result.exported), target})};
    lines.insert(lines.end(), result.skipped.cbegin(), result.skipped.cend());
    lines.push_back(Result::fail(TextId::ChirpNotCarried, {},
                                 {Result::named(TextId::ColumnBusyLock), Result::named(TextId::ColumnTailElimination),
                                  Result::named(TextId::ColumnCompander), Result::named(TextId::ColumnPttId)}));
    return Result::lines(lines);
}

}
