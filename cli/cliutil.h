#pragma once
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

#include "files/profile.h"
#include "document/documentdata.h"
#include "app/configlocation.h"
#include "base/packstrings.h"
#include "base/result.h"

// What the commands of rq300-cli share: exit codes, messages, option parsing
// and the start-up values the window program takes from beside its executable.
namespace Cli {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

// The options every command that talks to radios takes, worded once.
inline const QCommandLineOption PortOption(QStringLiteral("port"),
                                           QStringLiteral("COM1 to COM16 (mapped as the window program maps them) or a device path."),
                                           QStringLiteral("PORT"));
inline const QCommandLineOption SinglePortOption(QStringLiteral("single-port"),
                                                 QStringLiteral("The cable is single-wire: every byte sent comes back."));
// --lang where it sets only the language of the messages.
inline const QCommandLineOption MessageLangOption(
    QStringLiteral("lang"), QStringLiteral("Language of the messages: zh, en or tw (default: as the window program starts)."),
    QStringLiteral("zh|en|tw"));
inline const QCommandLineOption BandListOption(
    QStringLiteral("band"),
    QStringLiteral("A band the radios may have, e.g. 400-470MHz; repeat for several (default: the band list of sysini.ini)."),
    QStringLiteral("BAND"));

// The file a command writes after it has read a radio, made ready before
// the radio is touched: a place that cannot be written is refused then, and
// a FIFO is opened then (a FIFO nobody reads is refused instead of a write
// that would wait for ever) and written through that descriptor later.
class Output {
public:
    explicit Output(QString path) : m_path(std::move(path)) {}
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    Result prepare();
    // What to save to: the path, or the held FIFO's "/dev/fd/N".
    QString savePath() const;

private:
    QString m_path;
    int m_fd = -1;
};

// "rq300-cli: <step>: <reason>" on stderr; returns Failed.
int fail(const QString& step, const QString& reason);
// "rq300-cli: <what failed and why>" in the language of `texts`; returns Failed.
int fail(const Result& result, const PackStrings& texts);
// The reason of a failed transfer in the language of `texts`; a radio whose
// band the list lacks also learns how to read it all the same (--band).
QString reasonText(const Result& reason, const PackStrings& texts);
// "rq300-cli: <command>: <problem>" and a pointer to the help; returns Usage.
int usage(const QString& command, const QString& problem);
void warn(const QString& text);
// "rq300-cli: <text>" on stderr: what a command did, beside its output.
void note(const QString& text);
void out(const QString& line);   // one line on stdout

// Texts from a radio or a file may hold control characters (ESC [ 2 J clears
// the screen): every line printed shows them escaped, as \x1b.
QString printable(const QString& text);

// What is wrong with a password option's value, naming the first character
// that is not a digit; empty when it is at most 12 digits.
QString passwordProblem(const QString& option, const QString& value);

// Usage when an argument is not valid text in the locale's encoding: Qt
// would turn its bytes into U+FFFD, and two different file names into the
// same one. Ok otherwise.
int checkArguments(int argc, char** argv);

// A parser for one command with --help. Returns nullopt and the exit code in
// *exit when the command should end now (help shown or a usage error).
struct Command {
    QString name;
    QString synopsis;      // after "rq300-cli "
    QString description;
    QList<QCommandLineOption> options;
    QStringList positional;   // names of the required positional arguments
};
std::optional<QStringList> parse(const Command& cmd, const QStringList& args, QCommandLineParser& parser, int* exit);
QString helpText(const Command& cmd);

// Where sysini.ini and the language packs are, by the rule the window
// program follows too (setup/configlocation.h).
const ConfigLocation& location();
// sysini.ini as the window program would start from it; a home configuration
// still missing is first copied from the installed default (a failure to do
// so is warned of by textsFor(), in the command's language).
Profile loadIni();

// --lang zh|en|tw -> 1, 2, 3; 0 when the text is none of them.
int languageFromOption(const QString& text);
// The language the window program starts in: a stored 3 stays traditional
// Chinese, otherwise the system language decides.
int startupLanguage(const Profile& ini);
// The language of a --lang value, or the start-up language when `value` is
// empty; nullopt (and *exit set) for a value that names no language.
std::optional<int> chooseLanguage(const QString& command, const QString& value, const Profile& ini, int* exit);
// The active texts of a language: its pack over the built-in texts. A missing
// pack leaves the built-in texts, as in the window program, and says so on stderr.
PackStrings textsFor(int language);

struct Bands {
    QStringList list;
    int selected = -1;
};
// --band options, all well formed; otherwise the stored band list of sysini.ini.
// nullopt with *problem for a malformed --band.
std::optional<Bands> bandsFrom(const QStringList& options, const Profile& ini, QString* problem);

// A document as the window program has it after start-up: every default, the
// band list, the option lists in the language of `texts`.
DocumentData startDocument(const Bands& bands, const PackStrings& texts);

}
