#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/mainwindow.h"
#include "gui/signalclose.h"
#include "base/filewriter.h"

static bool haveDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

static const char Help[] =
    "Usage: rq300 [OPTIONS] [FILE.kq19]\n"
    "\n"
    "Programming software for RQ-300 series handheld radios (model MZ-209): reads a\n"
    "radio's channels and optional features, edits them, saves them as a settings\n"
    "file and writes them back. A settings file given is opened at start.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  --version      Show the version and exit.\n"
    "Qt's own options (-platform, -style, ...) are taken as well.\n"
    "\n"
    "See also rq300-cli (programming without the windows) and rq300-sim (a\n"
    "simulated radio).\n";

int main(int argc, char** argv)
{
    // Answered without a display, before Qt looks for one.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(Help, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::puts("rq300 " RQ300_VERSION);
            return 0;
        }
    }
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "rq300: no display found (DISPLAY is not set).\n"
                     "Run it on a desktop, or under a virtual display:\n"
                     "  xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    FileWriter::ignoreFileSizeSignal();
    QApplication::setApplicationName(QStringLiteral("RQ-300"));
    QApplication::setApplicationVersion(QStringLiteral(RQ300_VERSION));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));

    // What Qt left of the arguments: at most one settings file (the file
    // manager's double-click gives one).
    QStringList files;
    bool optionsEnd = false;
    const QStringList args = app.arguments().mid(1);
    for (const QString& a : args) {
        if (!optionsEnd && a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && a.startsWith(u'-') && a.size() > 1) {
            std::fprintf(stderr, "rq300: unknown option \"%s\" (see rq300 --help)\n", qPrintable(a));
            return 2;
        } else {
            files << a;
        }
    }
    if (files.size() > 1) {
        std::fputs("rq300: one settings file at a time (see rq300 --help)\n", stderr);
        return 2;
    }

    // The session owns the document and the shared state; made first, it
    // ends after the main window and every window in it.
    AppSession session(ConfigLocation::forThisProgram());
    MainWindow form(session);
    closeOnTerminationSignals(&form);
    // Without a window manager "maximised" means nothing; fill the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    if (!files.isEmpty()) {
        const QString path = QFileInfo(files.first()).absoluteFilePath();
        QTimer::singleShot(0, &form, [&form, path] { form.openFromCommandLine(path); });
    }
    return app.exec();
}
