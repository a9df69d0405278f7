#include "filecommands.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "files/filesave.h"
#include "files/channelcsv.h"
#include "files/chirpcsv.h"
#include "files/settingsfile.h"
#include "base/systemlocale.h"
#include "base/textids.h"
#include "sheet/channelsheet.h"
#include "showlayout.h"

namespace FileCommands {

namespace {

const QCommandLineOption LangOption(QStringLiteral("lang"),
                                    QStringLiteral("Language of the words: zh, en or tw (default: as the window program starts)."),
                                    QStringLiteral("zh|en|tw"));
const QCommandLineOption OutputOption(QStringLiteral("output"), QStringLiteral("File to write (replaced if it exists)."),
                                      QStringLiteral("FILE"));
const QCommandLineOption BandOption(QStringLiteral("band"),
                                    QStringLiteral("Band of the channels, e.g. 400-470MHz (default: the selected band of sysini.ini)."),
                                    QStringLiteral("BAND"));

const QCommandLineOption FormatOption(QStringLiteral("format"),
                                      QStringLiteral("own: the channel table's columns (default); chirp: CHIRP's CSV columns."),
                                      QStringLiteral("own|chirp"));

// A channel table has 32 rows; anything this large is not one.
constexpr qint64 MaxCsvBytes = 1024 * 1024;

// Reads a settings file as the window program's Open does; nullopt after a
// message on stderr.
std::optional<DocumentData> openSettings(const QString& path, const DocumentData& current, const PackStrings& texts)
{
    const SettingsFile::ReadResult r = SettingsFile::read(path, current, texts.words());
    if (!r.ok()) {
        Cli::fail(r.problem(path), texts);
        return std::nullopt;
    }
    if (!r.bandWarning)
        Cli::warn(r.bandWarning.text(texts));
    if (!r.notice)
        Cli::warn(r.notice.text(texts));
    return r.data;
}

struct Start {
    Profile ini;
    PackStrings texts;
};

std::optional<Start> start(const QString& command, const QCommandLineParser& p, int* exit)
{
    Start s{Cli::loadIni(), {}};
    const std::optional<int> lang = Cli::chooseLanguage(command, p.value(LangOption), s.ini, exit);
    if (!lang)
        return std::nullopt;
    s.texts = Cli::textsFor(*lang);
    return s;
}

// The language and band list a command starts from, then the settings file
// read against them; nullopt with *exit set after a message on stderr.
std::optional<DocumentData> openForCommand(const QString& command, const QCommandLineParser& p,
                                           const QString& path, int* exit, PackStrings* texts = nullptr)
{
    const auto s = start(command, p, exit);
    if (!s)
        return std::nullopt;
    if (texts)
        *texts = s->texts;
    QString problem;
    const auto bands = Cli::bandsFrom({}, s->ini, &problem);
    if (!bands) {
        *exit = Cli::usage(command, problem);
        return std::nullopt;
    }
    auto d = openSettings(path, Cli::startDocument(*bands, s->texts), s->texts);
    if (!d)
        *exit = Cli::Failed;
    return d;
}

} // namespace

const Cli::Command Show{
    QStringLiteral("show"), QStringLiteral("show FILE.kq19 [--lang zh|en|tw]"),
    QStringLiteral("Prints the model, band, options and channel table of a settings file."),
    {LangOption}, {QStringLiteral("FILE.kq19")}};

const Cli::Command ExportCsv{
    QStringLiteral("export-csv"),
    QStringLiteral("export-csv FILE.kq19 --output FILE.csv [--format own|chirp] [--lang zh|en|tw]"),
    QStringLiteral("Writes the channel table of a settings file as CSV with a header row: channel, receive\n"
                   "frequency, receive tone, transmit frequency, transmit tone, power, bandwidth, the four\n"
                   "flags and PTT ID. Only channels that exist are written. With --format chirp the columns\n"
                   "are CHIRP's (Location, Frequency, Duplex, Offset, Tone ...); busy lock, tail elimination,\n"
                   "the compander and PTT ID have no column there, as the summary on stderr says."),
    {OutputOption, FormatOption, LangOption}, {QStringLiteral("FILE.kq19")}};

const Cli::Command ImportCsv{
    QStringLiteral("import-csv"), QStringLiteral("import-csv FILE.csv --output FILE.kq19 [--band BAND] [--lang zh|en|tw]"),
    QStringLiteral("Makes a settings file from a channel table in CSV (as export-csv writes it). Every value is\n"
                   "checked: frequencies on the 5 kHz or 6.25 kHz raster within the band, tones, and the words\n"
                   "of any language. Each bad line is reported by number and then nothing is written.\n"
                   "A file from CHIRP (its header names Location and Frequency) is recognised: each row the\n"
                   "radio can hold is imported, every other row is listed on stderr by line and reason; the\n"
                   "exit status is 1 only when no row could be imported.\n"
                   "The optional features get their defaults."),
    {OutputOption, BandOption, LangOption}, {QStringLiteral("FILE.csv")}};

int show(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    const auto pos = Cli::parse(Show, args, p, &exit);
    if (!pos)
        return exit;
    PackStrings texts;
    const auto d = openForCommand(Show.name, p, pos->at(0), &exit, &texts);
    if (!d)
        return exit;
    for (const QString& line : showLayout(*d, texts, SystemLocale::decimalSeparator()))
        Cli::out(line);
    return Cli::Ok;
}

const Cli::Command Sheet{
    QStringLiteral("sheet"), QStringLiteral("sheet FILE.kq19 --output SHEET.pdf [--lang zh|en|tw]"),
    QStringLiteral("Writes the channel sheet of a settings file as PDF, to print and keep with the radio: one\n"
                   "page on the paper of the locale (Letter where US measures are used, otherwise A4) with\n"
                   "the model, band and file name, the channels that exist and the optional features, in\n"
                   "the words the window program shows."),
    {OutputOption, LangOption}, {QStringLiteral("FILE.kq19")}};

int sheet(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    const auto pos = Cli::parse(Sheet, args, p, &exit);
    if (!pos)
        return exit;
    if (!p.isSet(OutputOption))
        return Cli::usage(Sheet.name, QStringLiteral("--output is required"));
    PackStrings texts;
    const auto d = openForCommand(Sheet.name, p, pos->at(0), &exit, &texts);
    if (!d)
        return exit;
    SheetSource source;
    source.fileName = QFileInfo(pos->at(0)).fileName();
    const ChannelSheet sheet(*d, texts, SystemLocale::decimalSeparator(), source, QDateTime::currentDateTime());
    const Result saved = sheet.savePdf(p.value(OutputOption));
    if (!saved)
        return Cli::fail(saved, texts);
    return Cli::Ok;
}

int exportCsv(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    const auto pos = Cli::parse(ExportCsv, args, p, &exit);
    if (!pos)
        return exit;
    if (!p.isSet(OutputOption))
        return Cli::usage(ExportCsv.name, QStringLiteral("--output is required"));
    const QString format = p.value(FormatOption);
    if (p.isSet(FormatOption) && format != u"own" && format != u"chirp")
        return Cli::usage(ExportCsv.name, QStringLiteral("--format is own or chirp"));
    PackStrings texts;
    const auto d = openForCommand(ExportCsv.name, p, pos->at(0), &exit, &texts);
    if (!d)
        return exit;
    const QString output = p.value(OutputOption);
    if (format != u"chirp") {
        const Result saved = FileSave::save(output, ChannelCsv::exportTable(*d, texts.words(), SystemLocale::decimalSeparator()));
        return saved ? Cli::Ok : Cli::fail(saved, texts);
    }
    const ChirpCsv::ExportResult chirp = ChirpCsv::exportTable(*d);
    const Result saved = FileSave::save(output, chirp.bytes);
    if (!saved)
        return Cli::fail(saved, texts);
    Cli::note(ChirpCsv::exportSummary(chirp, output).text(texts));
    return Cli::Ok;
}

int importCsv(const QStringList& args)
{
    QCommandLineParser p;
    int exit = Cli::Ok;
    const auto pos = Cli::parse(ImportCsv, args, p, &exit);
    if (!pos)
        return exit;
    if (!p.isSet(OutputOption))
        return Cli::usage(ImportCsv.name, QStringLiteral("--output is required"));
    const auto s = start(ImportCsv.name, p, &exit);
    if (!s)
        return exit;
    QString problem;
    const auto bands = Cli::bandsFrom(p.values(BandOption), s->ini, &problem);
    if (!bands)
        return Cli::usage(ImportCsv.name, problem);
    if (bands->selected < 0)
        return Cli::usage(ImportCsv.name, QStringLiteral("no band: give --band (sysini.ini selects none)"));

    const QString input = pos->at(0);
    QFile f(input);
    if (!f.open(QIODevice::ReadOnly))
        return Cli::fail(FileSave::openFailed(input, f), s->texts);
    const QByteArray bytes = f.read(MaxCsvBytes + 1);
    if (f.error() != QFileDevice::NoError)
        return Cli::fail(FileSave::readFailed(input, f), s->texts);
    if (bytes.size() > MaxCsvBytes)
        return Cli::fail(Result::fail(TextId::FileTooLarge, {input, QString::number(MaxCsvBytes)}), s->texts);

    const DocumentData start = Cli::startDocument(*bands, s->texts);
    const QString output = p.value(OutputOption);
    if (ChirpCsv::recognises(bytes)) {
        const ChirpCsv::ImportResult chirp = ChirpCsv::importTable(bytes, start);
        if (!chirp.ok())
            return Cli::fail(ChirpCsv::importSummary(chirp, input), s->texts);
        const Result saved = SettingsFile::save(output, chirp.data, s->texts, SystemLocale::decimalSeparator());
        if (!saved)
            return Cli::fail(saved, s->texts);
        Cli::note(ChirpCsv::importSummary(chirp, input).text(s->texts));
        return Cli::Ok;
    }
    const ChannelCsv::ImportResult r = ChannelCsv::importTable(bytes, start, s->texts.words(), SystemLocale::decimalSeparator());
    if (!r.ok) {
        for (const Result& e : r.errors)
            Cli::fail(Result::because(TextId::CsvCheckFile, e, {input}), s->texts);
        return Cli::Failed;
    }
    const Result saved = SettingsFile::save(output, r.data, s->texts, SystemLocale::decimalSeparator());
    if (!saved)
        return Cli::fail(saved, s->texts);
    return Cli::Ok;
}

}
