// rq300-cli: batch reading and writing of RQ-300 radios and conversion of
// settings files, on the same core as the window program.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

#include "filecommands.h"
#include "radiocommands.h"
#include "base/filewriter.h"
#include "safetycommands.h"

namespace {

struct Entry {
    const Cli::Command* command;
    int (*run)(const QStringList&);
};

const Entry Commands[] = {
    {&RadioCommands::Read, RadioCommands::read},     {&RadioCommands::Write, RadioCommands::write},
    {&RadioCommands::Info, RadioCommands::info},     {&RadioCommands::Clone, RadioCommands::clone},     {&FileCommands::Show, FileCommands::show},
    {&FileCommands::ExportCsv, FileCommands::exportCsv}, {&FileCommands::ImportCsv, FileCommands::importCsv},
    {&FileCommands::Sheet, FileCommands::sheet},
    {&SafetyCommands::Diff, SafetyCommands::diff},   {&SafetyCommands::BackupsList, SafetyCommands::backups},
    {&SafetyCommands::CalibrationRead, SafetyCommands::calibrationRead},
};

QString toolHelp()
{
    QString t = QStringLiteral(
        "Usage: rq300-cli COMMAND [OPTIONS]\n\n"
        "Programs RQ-300 radios (model MZ-209) and converts their settings files (*.kq19).\n\n"
        "Commands:\n");
    for (const Entry& e : Commands)
        t += QStringLiteral("  %1\n").arg(e.command->synopsis.simplified());
    t += QStringLiteral("\nRun \"rq300-cli COMMAND --help\" for the options of one command;\n"
                        "\"rq300-cli --version\" shows the version.\n"
                        "read, write, clone and info take --trace FILE: a log of every frame for a bug report.\n\n");
    // The same rule as the window program: beside the program when a
    // sysini.ini lies there, otherwise in the home configuration folder.
    t += Cli::location().describe() + u'\n';
    t += QStringLiteral("\nExit status: 0 success, 1 a transfer or check failed, 2 a usage error\n"
                        "(diff: 0 equal, 1 different, 2 a usage error or an input that cannot be read).\n");
    return t;
}

// The channel sheet lays out text, and Qt's fonts come with a GUI
// application; the offscreen platform gives them without a display, so the
// command runs on a server or over ssh alike. Every other command keeps to
// QtCore.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "sheet") != 0)
        return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The platform's start-up notes (no XDG_RUNTIME_DIR under cron or su)
    // are no news to the user of a command; what stops it still shows.
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                QTextStream(stderr) << message << '\n';
        });
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

}

int main(int argc, char** argv)
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    FileWriter::ignoreFileSizeSignal();
    QCoreApplication::setApplicationName(QStringLiteral("rq300-cli"));
    if (const int bad = Cli::checkArguments(argc, argv))
        return bad;
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return Cli::usage(QString(), QStringLiteral("no command given"));
    QString name = args.takeFirst();
    if (name == QLatin1String("--version") && args.isEmpty()) {
        QTextStream(stdout) << "rq300-cli " RQ300_VERSION "\n";
        return Cli::Ok;
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        if (args.isEmpty()) {
            QTextStream(stdout) << toolHelp();
            return Cli::Ok;
        }
        args = QStringList{args.first(), QStringLiteral("--help")};   // "help read" is "read --help"
        name.clear();
    }
    if (name.isEmpty())
        name = args.takeFirst();
    for (const Entry& e : Commands)
        if (e.command->name == name)
            return e.run(args);
    return Cli::usage(QString(), QStringLiteral("unknown command \"%1\"").arg(name));
}
