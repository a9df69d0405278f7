#include "files/packfile.h"
#include "cliutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <unistd.h>

#include "document/band.h"
#include "files/filesave.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "base/systemlocale.h"
#include "base/textids.h"
#include "app/startupconfig.h"

namespace Cli {

namespace {
// A message of several lines (every difference a verify found, every value
// a write refuses) keeps its line breaks; the lines after the first are
// indented, so that none of them can pass for a message of its own.
void err(const QString& message)
{
    QStringList lines = message.split(u'\n');
    for (QString& l : lines)
        l = printable(l);
    QTextStream(stderr) << lines.join(QStringLiteral("\n  ")) << Qt::endl;
}

// Found before the command knows its language (the configuration is what
// tells it); said by textsFor() once the language is chosen.
QList<Result>& pendingWarnings()
{
    static QList<Result> pending;
    return pending;
}
}

Output::~Output()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Result Output::prepare()
{
    if (const Result writable = FileSave::checkWritable(m_path); !writable)
        return writable;
    return FileSave::openPipe(m_path, &m_fd);
}

QString Output::savePath() const
{
    return m_fd >= 0 ? QStringLiteral("/dev/fd/%1").arg(m_fd) : m_path;
}

int fail(const QString& step, const QString& reason)
{
    err(QStringLiteral("rq300-cli: %1: %2").arg(step, reason));
    return Failed;
}

int fail(const Result& result, const PackStrings& texts)
{
    err(QStringLiteral("rq300-cli: ") + result.text(texts));
    return Failed;
}

QString reasonText(const Result& reason, const PackStrings& texts)
{
    QString text = reason.text(texts);
    if ((reason.textId == TextId::BandNotInList || reason.textId == TextId::ServiceBandNotInList)
        && !reason.args.isEmpty())
        text += QStringLiteral("; ") + Result::fail(TextId::BandHint, {reason.args.first()}).text(texts);
    return text;
}

int usage(const QString& command, const QString& problem)
{
    const QString help = command.isEmpty() ? QStringLiteral("rq300-cli --help")
                                           : QStringLiteral("rq300-cli %1 --help").arg(command);
    err(QStringLiteral("rq300-cli: %1%2 (see %3)")
            .arg(command.isEmpty() ? QString() : command + QStringLiteral(": "), problem, help));
    return Usage;
}

void warn(const QString& text)
{
    err(QStringLiteral("rq300-cli: warning: ") + text);
}

void note(const QString& text)
{
    err(QStringLiteral("rq300-cli: ") + text);
}

void out(const QString& line)
{
    QTextStream(stdout) << printable(line) << Qt::endl;
}

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Controls, and the marks that reorder or break a line on a terminal.
        const bool control = c.category() == QChar::Other_Control || u == 0x2028 || u == 0x2029
                             || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (!control)
            out += c;
        else if (u < 0x100)
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QChar(u'0'));
        else
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QChar(u'0'));
    }
    return out;
}

QString passwordProblem(const QString& option, const QString& value)
{
    for (const QChar c : value)
        if (c < u'0' || c > u'9')
            return QStringLiteral("--%1 takes at most 12 digits 0 to 9; \"%2\" is not one").arg(option, printable(QString(c)));
    if (value.size() > 12)
        return QStringLiteral("--%1 takes at most 12 digits, not %2").arg(option).arg(value.size());
    return {};
}

int checkArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray given(argv[i]);
        if (QFile::encodeName(QFile::decodeName(given)) != given)
            return usage(QString(), QStringLiteral("argument %1 (\"%2\") is not valid text in this locale's encoding; "
                                                   "give files names of valid UTF-8")
                                        .arg(i)
                                        .arg(QFile::decodeName(given)));
    }
    return Ok;
}

QString helpText(const Command& cmd)
{
    QString t = QStringLiteral("Usage: rq300-cli %1\n\n%2\n").arg(cmd.synopsis, cmd.description);
    if (!cmd.options.isEmpty()) {
        t += QStringLiteral("\nOptions:\n");
        for (const QCommandLineOption& o : cmd.options) {
            QString name = QStringLiteral("--") + o.names().first();
            if (!o.valueName().isEmpty())
                name += u' ' + o.valueName();
            t += QStringLiteral("  %1  %2\n").arg(name.leftJustified(24), o.description());
        }
    }
    t += QStringLiteral("  %1  %2\n").arg(QStringLiteral("--help").leftJustified(24), QStringLiteral("Show this help."));
    return t;
}

std::optional<QStringList> parse(const Command& cmd, const QStringList& args, QCommandLineParser& parser, int* exit)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(cmd.options);
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("rq300-cli")} + args)) {
        *exit = usage(cmd.name, parser.errorText());
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << helpText(cmd);
        *exit = Ok;
        return std::nullopt;
    }
    const QStringList pos = parser.positionalArguments();
    if (pos.size() != cmd.positional.size()) {
        *exit = usage(cmd.name, pos.size() < cmd.positional.size()
                                    ? QStringLiteral("%1 is missing").arg(cmd.positional.value(pos.size()))
                                    : QStringLiteral("unexpected argument \"%1\"").arg(pos.value(cmd.positional.size())));
        return std::nullopt;
    }
    return pos;
}

const ConfigLocation& location()
{
    static const ConfigLocation where = ConfigLocation::forThisProgram();
    return where;
}

Profile loadIni()
{
    const ConfigLocation& where = location();
    if (const Result r = where.prepare(); !r)
        pendingWarnings() << r;
    Result unreadable;
    Profile ini = where.load(&unreadable);
    if (!unreadable)
        pendingWarnings() << unreadable;
    return ini;
}

int languageFromOption(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("zh"))
        return 1;
    if (t == QLatin1String("en"))
        return 2;
    if (t == QLatin1String("tw"))
        return 3;
    return 0;
}

int startupLanguage(const Profile& ini)
{
    return StartupConfig::read(ini).language;
}

std::optional<int> chooseLanguage(const QString& command, const QString& value, const Profile& ini, int* exit)
{
    if (value.isEmpty())
        return startupLanguage(ini);
    const int lang = languageFromOption(value);
    if (lang == 0) {
        *exit = usage(command, QStringLiteral("--lang takes zh, en or tw, not \"%1\"").arg(value));
        return std::nullopt;
    }
    return lang;
}

PackStrings textsFor(int language)
{
    const QString name = StartupConfig::packName(qBound(1, language, 3));
    const QString file = location().packFile(name);
    Result why = Result::fail(TextId::PackMissing, {name});
    const std::optional<PackStrings> pack = file.isEmpty() ? std::nullopt : PackFile::load(file, &why);
    // Without its pack a language has only the built-in (simplified Chinese)
    // texts, except for the line that says why: an English user must be able
    // to read that one.
    const PackStrings texts = pack ? PackStrings::withFallback(*pack) : PackStrings::builtIn();
    if (!pack) {
        PackStrings whyTexts = texts;
        if (language == 2) {
            whyTexts.set(TextId::PackMissing,
                          QStringLiteral("The language pack %1.lang is not beside the program; using the built-in texts"));
            whyTexts.set(TextId::PackTooLarge,
                          QStringLiteral("The language pack %1 is too large (more than %2 bytes); using the built-in texts"));
            whyTexts.set(TextId::PackEmpty,
                          QStringLiteral("The language pack %1 holds no texts; using the built-in texts"));
        }
        warn(why.text(whyTexts));
    }
    for (const Result& w : std::as_const(pendingWarnings()))
        warn(w.text(texts));
    pendingWarnings().clear();
    return texts;
}

std::optional<Bands> bandsFrom(const QStringList& options, const Profile& ini, QString* problem)
{
    Bands b;
    if (!options.isEmpty()) {
        for (const QString& band : options) {
            if (!Band::isWellFormed(band)) {
                *problem = QStringLiteral("\"%1\" is not a band such as 400-470MHz").arg(band);
                return std::nullopt;
            }
            if (!b.list.contains(band))
                b.list << band;
        }
        b.selected = 0;
        return b;
    }
    const StartupConfig stored = StartupConfig::read(ini);
    b.list = stored.bands;
    b.selected = stored.selectedBand;
    return b;
}

DocumentData startDocument(const Bands& bands, const PackStrings&)
{
    DocumentData d;
    d.setBands(bands.list);
    d.setChoice(Key::Band, bands.selected);
    return d;
}

}
