// rq300-shots OUTDIR LANGUAGE: opens every window of the program in LANGUAGE
// (1 simplified Chinese, 2 English, 3 traditional Chinese) after a read from
// an in-process simulated radio, and saves a picture of each as
// OUTDIR/NAME.png, with OUTDIR/index.txt naming each picture's window title.
// Runs under a real X server (xcb), as the user sees the windows.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/radioinfowindow.h"
#include "gui/channeleditor.h"
#include "gui/optionseditor.h"
#include "gui/alignmentwindow.h"
#include "gui/comparewindow.h"
#include "gui/fleetwindow.h"
#include "gui/mainwindow.h"
#include "gui/prompter.h"
#include "gui/readwritedialog.h"
#include "app/appstate.h"
#include "sim/simradio.h"

namespace {

QDir g_out;
int g_failures = 0;

// Lets Qt lay out and paint what was just shown.
void settle(int ms = 300)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void save(QWidget* w, const QString& name)
{
    settle();
    const QString file = g_out.filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(file)) {
        std::fprintf(stderr, "rq300-shots: cannot save %s\n", qPrintable(file));
        ++g_failures;
    }
    // Written as it goes, so that a run that hangs still says what it saw.
    QFile index(g_out.filePath(QStringLiteral("index.txt")));
    if (index.open(QIODevice::Append))
        QTextStream(&index) << QStringLiteral("%1.png\t%2x%3\t%4\n").arg(name).arg(w->width()).arg(w->height()).arg(w->windowTitle());
}

// Closes a modal window the way a user backs out of it (No, Cancel, Close).
void backOut(QWidget* m)
{
    if (auto* box = qobject_cast<QMessageBox*>(m)) {
        QAbstractButton* back = box->escapeButton();
        for (QAbstractButton* b : box->buttons())
            if (!back && (box->buttonRole(b) == QMessageBox::NoRole || box->buttonRole(b) == QMessageBox::RejectRole))
                back = b;
        if (back)
            back->click();
        else
            box->reject();
    } else if (auto* d = qobject_cast<QDialog*>(m)) {
        d->reject();
    } else {
        m->close();
    }
}

// While modal() waits for its window, and then that window.
bool g_capturing = false;
QWidget* g_captured = nullptr;

// Runs `open`, which shows a modal window and returns when it closes: the
// first new modal window is given `prepare`, saved as `name` and backed out of.
void modal(const QString& name, const std::function<void()>& open, const std::function<void(QWidget*)>& prepare = {})
{
    QWidget* before = QApplication::activeModalWidget();
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* m = QApplication::activeModalWidget();
        if (!m || m == before || done)
            return;
        done = true;
        g_captured = m;
        poll.stop();
        settle();
        if (prepare)
            prepare(m);
        save(m, name);
        backOut(m);
    });
    g_capturing = true;
    poll.start(100);
    open();
    poll.stop();
    g_capturing = false;
    g_captured = nullptr;
    if (!done) {
        std::fprintf(stderr, "rq300-shots: %s: no window came up\n", qPrintable(name));
        ++g_failures;
    }
}

// A box nobody asked for (a question before a write, a failure) would wait
// for a user forever: it is saved as unexpected-N and backed out of.
void watchStrayBoxes()
{
    auto* t = new QTimer(qApp);
    QObject::connect(t, &QTimer::timeout, [t] {
        static QWidget* seen = nullptr;
        static int n = 0;
        QWidget* m = QApplication::activeModalWidget();
        if (!m || m == g_captured || (g_capturing && !g_captured)) {
            seen = nullptr;
            return;
        }
        if (m != seen) {   // give it one more tick to be a window that was asked for
            seen = m;
            return;
        }
        seen = nullptr;
        std::fprintf(stderr, "rq300-shots: unexpected window \"%s\"\n", qPrintable(m->windowTitle()));
        save(m, QStringLiteral("unexpected-%1").arg(++n));
        backOut(m);
        (void)t;
    });
    t->start(1000);
}

// A transfer runs on a thread of its own: the window is done once it has ended.
void waitForTransfer(const ReadWriteDialog& rw)
{
    QElapsedTimer clock;
    clock.start();
    while (rw.isTransferRunning() && clock.elapsed() < 30000)
        settle(100);
    settle();
}

void mdiChild(MainWindow& f, QWidget* child, void (MainWindow::*command)(), const QString& name)
{
    (f.*command)();
    QMdiSubWindow* sub = f.subWindowOf(child);
    save(sub ? static_cast<QWidget*>(sub) : child, name);
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RQ-300"));
    QApplication::setApplicationDisplayName(QString());
    const QStringList args = QApplication::arguments();
    const int language = args.value(2).toInt();
    if (args.size() != 3 || language < 1 || language > 3) {
        std::fprintf(stderr, "usage: rq300-shots OUTDIR LANGUAGE(1 simplified, 2 English, 3 traditional)\n");
        return 2;
    }
    g_out = QDir(args[1]);
    g_out.mkpath(QStringLiteral("."));

    // A configuration of its own beside the packs, so that the build tree's
    // sysini.ini and the user's backups stay as they are.
    QTemporaryDir dir;
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const char* pack : {"cha_dll.lang", "eng_dll.lang", "ty.lang"})
        QFile::copy(bin.filePath(QLatin1String(pack)), dir.filePath(QLatin1String(pack)));
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());

    watchStrayBoxes();
    QTimer::singleShot(120000, [] {
        std::fprintf(stderr, "rq300-shots: still running after 2 minutes, given up\n");
        std::_Exit(3);
    });
    SimRadio sim;
    SimRadio::addSampleChannels(sim.memory());
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "rq300-shots: simulated radio: %s\n", qPrintable(error));
        return 1;
    }
    {
        // The shipped configuration (its band list holds the simulated
        // radio's band), with COM1 on the simulated radio.
        QFile shipped(QStringLiteral(RQ300_DEFAULT_INI));
        shipped.open(QIODevice::ReadOnly);
        QFile ini(dir.filePath(QStringLiteral("sysini.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(shipped.readAll() + "\r\n[ports]\r\ncom1=" + sim.devicePath().toUtf8() + "\r\n");
    }

    AppSession session(ConfigLocation::beside(dir.path()));
    MainWindow f(session);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        f.setGeometry(screen->availableGeometry());
    f.show();
    settle(500);
    f.findChild<QAction*>(QStringLiteral("N%1").arg(language + 4))->trigger();
    settle();

    // Programming > Read, as the user runs it.
    ReadWriteDialog& rw = *f.readWriteDialog();
    if (!rw.prepareCommand(1, f.state().text(17), f.readCaption())) {
        std::fprintf(stderr, "rq300-shots: the simulated radio's port does not open\n");
        return 1;
    }
    rw.show();
    rw.focusStart();
    save(&rw, QStringLiteral("readwrite-read"));
    g_captured = &rw;
    rw.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    waitForTransfer(rw);
    g_captured = nullptr;
    save(&rw, QStringLiteral("readwrite-read-done"));
    rw.closed();
    rw.hide();

    mdiChild(f, f.channelEditor(), &MainWindow::showChannelEditor, QStringLiteral("channel"));
    save(&f, QStringLiteral("mainwindow"));
    mdiChild(f, f.optionsEditor(), &MainWindow::showOptionsEditor, QStringLiteral("optionseditor"));
    {
        // As after opening a file of an older program: volume and lease time unknown.
        const DocumentData read = f.document().data();
        DocumentData older = read;
        for (const QString& key : Key::NotInOlderFiles)
            older.setNotCarried(key);
        f.document().replace(older);
        QMdiSubWindow* sub = f.subWindowOf(f.optionsEditor());
        save(sub ? static_cast<QWidget*>(sub) : f.optionsEditor(), QStringLiteral("optionseditor-unknown"));
        f.document().replace(read);
    }
    mdiChild(f, f.radioInfoWindow(), &MainWindow::showRadioInfo, QStringLiteral("radioinfo"));
    mdiChild(f, f.alignmentWindow(), &MainWindow::showAlignmentWindow, QStringLiteral("alignment"));
    save(&f, QStringLiteral("mainwindow-all"));

    // A write keeps a backup, for the backups window to list.
    if (rw.prepareCommand(2, f.state().text(18), f.writeCaption())) {
        rw.show();
        rw.focusStart();
        save(&rw, QStringLiteral("readwrite-write"));
        g_captured = &rw;   // modal while it writes, and expected
        rw.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        waitForTransfer(rw);
        g_captured = nullptr;
        rw.closed();
        rw.hide();
    }

    modal(QStringLiteral("portwindow"), [&] { f.showPortWindow(); });
    modal(QStringLiteral("about"), [&] { f.showAbout(); });
    modal(QStringLiteral("backups"), [&] { f.findChild<QAction*>(QStringLiteral("BackupsItem"))->trigger(); });
    // One channel changed, so that the comparison has a line to show.
    f.document().setCell(3, 1, QStringLiteral("445.12500"));
    modal(QStringLiteral("compare"), [&] { f.findChild<QAction*>(QStringLiteral("CompareItem"))->trigger(); },
          [](QWidget* w) {
              if (auto* b = w->findChild<QPushButton*>(QStringLiteral("ButtonRead")))
                  b->click();
              // The read runs on a thread of its own; the list fills when it ends.
              QElapsedTimer clock;
              clock.start();
              while (qobject_cast<CompareWindow*>(w) && qobject_cast<CompareWindow*>(w)->isReading()
                     && clock.elapsed() < 30000)
                  settle(100);
          });
    // Several radios: COM1 programmed once, its row done.
    modal(QStringLiteral("fleet"), [&] { f.findChild<QAction*>(QStringLiteral("FleetItem"))->trigger(); },
          [](QWidget* w) {
              auto* fleet = qobject_cast<FleetWindow*>(w);
              if (!fleet)
                  return;
              fleet->findChild<QCheckBox*>(QStringLiteral("PortBox1"))->setChecked(true);
              fleet->start();
              QElapsedTimer clock;
              clock.start();
              while (fleet->isRunning() && clock.elapsed() < 30000)
                  settle(100);
          });
    modal(QStringLiteral("message-delete-all"),
          [&] { f.channelEditor()->findChild<QPushButton*>(QStringLiteral("Button2"))->click(); });
    modal(QStringLiteral("message-save-changes"), [&] { f.newDocument(); });
    // Nothing to save any more, so that Open goes straight to its dialog.
    f.document().markClean();
    modal(QStringLiteral("dialog-open"), [&] { f.openDocument(); });
    modal(QStringLiteral("dialog-save"), [&] { f.saveAs(); });

    // A radio that does not answer: the failure message.
    SimRadio::Faults deaf;
    deaf.ignoreHandshakes = 1000;
    sim.setFaults(deaf);
    if (rw.prepareCommand(1, f.state().text(17), f.readCaption())) {
        rw.show();
        rw.focusStart();
        // The failure box comes when the transfer's thread has given up.
        modal(QStringLiteral("message-read-failed"), [&] {
            rw.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
            waitForTransfer(rw);
        });
        rw.closed();
        rw.hide();
    }

    // CSV: the export's choice of dialect, and what an import of a CHIRP
    // file with rows the radio cannot hold says.
    modal(QStringLiteral("print-preview"), [&] { f.findChild<QAction*>(QStringLiteral("PrintItem"))->trigger(); });
    modal(QStringLiteral("dialog-export-csv"),
          [&] { f.findChild<QAction*>(QStringLiteral("ExportCsvItem"))->trigger(); });
    QTemporaryDir csvDir;
    struct OpensOneFile : Prompter {
        QString path;
        QString openFile(QWidget*, const QString&, const QString&) override { return path; }
    } opens;
    opens.path = csvDir.filePath(QStringLiteral("club.csv"));
    QFile club(opens.path);
    if (club.open(QIODevice::WriteOnly))
        club.write("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip\r\n"
                   "1,RPT,446.006250,+,5.000000,Tone,67.0,88.5,023,NN,FM,6.25,\r\n"
                   "2,2M,145.500000,,0.000000,,88.5,88.5,023,NN,FM,5.00,\r\n"
                   "3,DV,446.100000,,0.000000,,88.5,88.5,023,NN,DV,5.00,\r\n");
    club.close();
    Prompter::install(&opens);
    modal(QStringLiteral("message-chirp-import"),
          [&] { f.findChild<QAction*>(QStringLiteral("ImportCsvItem"))->trigger(); });
    Prompter::install(nullptr);

    f.closeForTermination();
    return g_failures ? 1 : 0;
}
