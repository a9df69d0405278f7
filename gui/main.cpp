#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

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

int main(int argc, char** argv)
{
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
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));

    // The session owns the document and the shared state; made first, it
    // ends after the main window and every window in it.
    AppSession session(ConfigLocation::forThisProgram());
    MainWindow form(session);
    closeOnTerminationSignals(&form);
    // Without a window manager "maximised" means nothing; fill the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
