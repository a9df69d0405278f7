// The desktop files as a user's system sees them: installed with
// "cmake --install" into a temporary prefix, then checked in place by the
// tools that read them (desktop-file-validate, appstreamcli, groff) where
// they are installed, and by the checks below where none exists (udev).
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "testpaths.h"

#include <algorithm>
#include <set>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not finish").arg(program);
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// One udev rule line: its keys in order. Keys with an attribute name keep it
// in `attr` (ATTRS{idVendor} -> key "ATTRS", attr "idVendor").
struct UdevKey {
    QString key, attr, op, value;
};
struct UdevLine {
    int number = 0;
    QList<UdevKey> keys;
};

const std::set<QString> UdevMatchKeys{"ACTION", "SUBSYSTEM", "SUBSYSTEMS", "KERNEL", "KERNELS",
                                      "ATTR", "ATTRS", "ENV", "TAG", "DRIVERS"};
const std::set<QString> UdevAssignKeys{"ENV", "TAG", "GOTO", "LABEL", "MODE", "GROUP", "OWNER", "SYMLINK", "RUN"};

// Parses the rule file as udev reads it: comma-separated KEY op "value"
// pairs, one rule a line. Any line that does not parse completely, a key
// used with an operator it does not take, or a GOTO without its LABEL is an
// error in `errors`.
QList<UdevLine> parseUdev(const QString& text, QStringList* errors)
{
    static const QRegularExpression pair(
        QStringLiteral(R"re(\G\s*([A-Z_]+)(?:\{([^}]+)\})?\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(?:,|$))re"));
    QList<UdevLine> lines;
    QStringList labels, gotos;
    const QStringList raw = text.split(u'\n');
    for (int i = 0; i < raw.size(); ++i) {
        const QString line = raw[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        UdevLine rule;
        rule.number = i + 1;
        qsizetype at = 0;
        while (at < line.size()) {
            const QRegularExpressionMatch m = pair.match(line, at, QRegularExpression::NormalMatch,
                                                         QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch() || m.capturedLength() == 0) {
                errors->append(QStringLiteral("line %1: cannot parse from \"%2\"").arg(i + 1).arg(line.mid(at)));
                break;
            }
            const UdevKey k{m.captured(1), m.captured(2), m.captured(3), m.captured(4)};
            const bool match = k.op == QLatin1String("==") || k.op == QLatin1String("!=");
            if (!(match ? UdevMatchKeys : UdevAssignKeys).count(k.key))
                errors->append(QStringLiteral("line %1: %2 does not take %3").arg(i + 1).arg(k.key, k.op));
            if (k.key == QLatin1String("LABEL"))
                labels << k.value;
            if (k.key == QLatin1String("GOTO"))
                gotos << k.value;
            rule.keys << k;
            at = m.capturedEnd();
        }
        lines << rule;
    }
    for (const QString& g : gotos)
        if (!labels.contains(g))
            errors->append(QStringLiteral("GOTO=\"%1\" has no LABEL").arg(g));
    return lines;
}

// A device event as udev would process it with these rules alone.
struct UdevDevice {
    QString action = QStringLiteral("add");
    QString subsystem;
    QHash<QString, QString> attrs;   // its own and its parents' attributes
    QHash<QString, QString> env;
    QSet<QString> tags;
};

bool globMatch(const QString& pattern, const QString& value)
{
    for (const QString& alternative : pattern.split(u'|')) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(alternative));
        if (re.match(value).hasMatch())
            return true;
    }
    return false;
}

void applyUdev(const QList<UdevLine>& rules, UdevDevice& d)
{
    for (qsizetype i = 0; i < rules.size(); ++i) {
        bool matches = true;
        QString jump;
        for (const UdevKey& k : rules[i].keys) {
            const bool isMatch = k.op == QLatin1String("==") || k.op == QLatin1String("!=");
            if (!isMatch)
                continue;
            QString actual;
            if (k.key == QLatin1String("ACTION"))
                actual = d.action;
            else if (k.key == QLatin1String("SUBSYSTEM"))
                actual = d.subsystem;
            else if (k.key == QLatin1String("ATTRS") || k.key == QLatin1String("ATTR"))
                actual = d.attrs.value(k.attr);
            else if (k.key == QLatin1String("ENV"))
                actual = d.env.value(k.attr);
            if (globMatch(k.value, actual) != (k.op == QLatin1String("==")))
                matches = false;
        }
        if (!matches)
            continue;
        for (const UdevKey& k : rules[i].keys) {
            if (k.key == QLatin1String("ENV") && k.op == QLatin1String("="))
                d.env.insert(k.attr, k.value);
            else if (k.key == QLatin1String("TAG") && k.op == QLatin1String("+="))
                d.tags.insert(k.value);
            else if (k.key == QLatin1String("GOTO"))
                jump = k.value;
        }
        if (jump.isEmpty())
            continue;
        for (qsizetype j = i + 1; j < rules.size(); ++j)
            for (const UdevKey& k : rules[j].keys)
                if (k.key == QLatin1String("LABEL") && k.value == jump)
                    i = j;
    }
}

// "--single-port" as roff source writes it: "\-\-single\-port".
QString roff(const QString& text)
{
    QString t = text;
    return t.replace(u'-', QStringLiteral("\\-"));
}

// Whether a bold line (.B, .BI, .BR) of the roff text names the option
// whole, not as the start of a longer one.
bool namesOption(const QString& roffText, const QString& option)
{
    const QRegularExpression re(QStringLiteral("^\\.B[IR]? .*") + QRegularExpression::escape(roff(option))
                                    + QStringLiteral("(?![a-z]|\\\\-)"),
                                QRegularExpression::MultilineOption);
    return re.match(roffText).hasMatch();
}

// The options a program's --help lists ("  -h, --help", "  --port <PORT>").
QStringList helpOptions(const QString& help)
{
    static const QRegularExpression line(QStringLiteral("^  (?:-[a-zA-Z], )?(--[a-z][a-z-]*)"),
                                         QRegularExpression::MultilineOption);
    QStringList options;
    for (const QRegularExpressionMatch& m : line.globalMatch(help))
        options << m.captured(1);
    return options;
}

// The section of a manual page from ".SH NAME" up to the next section.
QString manSection(const QString& page, const QString& name)
{
    return page.section(QStringLiteral(".SH ") + name + u'\n', 1).section(QStringLiteral("\n.SH "), 0, 0);
}

QString gunzip(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("gzip"), {"-dc", path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString program(const QString& name)
{
    return qEnvironmentVariable("RQ300_BIN_DIR") + u'/' + name;
}

const QStringList Programs{"rq300", "rq300-cli", "rq300-sim"};

} // namespace

class TestDist : public QObject {
    Q_OBJECT

    QTemporaryDir m_prefix;
    QString at(const QString& relative) const { return m_prefix.filePath(relative); }

    // Empty when the tool is not installed here.
    static QString tool(const char* name)
    {
        return QStandardPaths::findExecutable(QString::fromLatin1(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const Run r = run(QStringLiteral(RQ300_CMAKE),
                          {"--install", RQ300_BUILD_DIR, "--prefix", m_prefix.path(), "--component", "desktop"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    }

    void desktopEntry()
    {
        const QString path = at("share/applications/rq300.desktop");
        const QString text = readText(path);
        QVERIFY2(!text.isEmpty(), qPrintable(path));
        QHash<QString, QString> keys;
        QString group;
        for (const QString& line : text.split(u'\n')) {
            if (line.startsWith(u'['))
                group = line;
            else if (group == QLatin1String("[Desktop Entry]") && line.contains(u'='))
                keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
        }
        QCOMPARE(keys.value("Type"), "Application");
        // The file manager hands a settings file over to the program.
        QCOMPARE(keys.value("Exec"), "rq300 %f");
        QCOMPARE(keys.value("MimeType"), "application/x-rq300-settings;");
        QCOMPARE(keys.value("Icon"), "rq300");
        QCOMPARE(keys.value("Categories"), "Utility;HamRadio;");
        for (const char* key : {"Name", "Name[zh_CN]", "Name[zh_TW]", "Comment", "Comment[zh_CN]", "Comment[zh_TW]"})
            QVERIFY2(!keys.value(QLatin1String(key)).trimmed().isEmpty(), key);
        QVERIFY(keys.value("Name") != keys.value("Name[zh_CN]"));
        QVERIFY(keys.value("Name[zh_CN]") != keys.value("Name[zh_TW]"));

        const QString validator = tool("desktop-file-validate");
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        const Run r = run(validator, {path});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        QVERIFY2(!(r.out + r.err).contains(QLatin1String("error:")), qPrintable(r.out + r.err));
    }

    // The desktop learns the file types from the installed shared-mime-info
    // package, as update-mime-database builds its tables from it.
    void fileTypes()
    {
        const QString package = at("share/mime/packages/rq300.xml");
        QVERIFY2(QFile::exists(package), qPrintable(package));
        const QString update = tool("update-mime-database");
        if (update.isEmpty())
            QSKIP("update-mime-database is not installed (package shared-mime-info)");
        const Run r = run(update, {at("share/mime")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        const QStringList globs = readText(at("share/mime/globs2")).split(u'\n');
        for (const char* glob : {"application/x-rq300-settings:*.kq19", "application/x-rq300-alignment:*.m17"})
            QVERIFY2(std::any_of(globs.begin(), globs.end(),
                                 [&](const QString& l) { return l.endsWith(QLatin1String(glob)); }),
                     glob);
        QVERIFY(readText(at("share/mime/subclasses")).contains("application/x-rq300-settings text/plain"));
    }

    void iconsInEverySize()
    {
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const QString path = at(QStringLiteral("share/icons/hicolor/%1x%1/apps/rq300.png").arg(size));
            QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
            // Drawn, not blank: the corner is clear, the middle is not.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) > 0);
        }
        // The desktop shows the picture the window itself uses.
        const QImage installed = QImage(at("share/icons/hicolor/64x64/apps/rq300.png")).convertToFormat(QImage::Format_ARGB32);
        const QImage window = QImage(QStringLiteral(RQ300_SOURCE_DIR "/gui/icons/app.png")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!window.isNull());
        QVERIFY(installed == window);
    }

    void metainfo()
    {
        const QDir dir(at("share/metainfo"));
        const QStringList files = dir.entryList({"*.metainfo.xml"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString path = dir.filePath(files.first());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QString id, launchable;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("id"))
                id = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == QLatin1String("launchable"))
                launchable = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        // The file is named by its id, and the desktop entry it launches is installed.
        QCOMPARE(id + QStringLiteral(".metainfo.xml"), files.first());
        QCOMPARE(launchable, "rq300.desktop");
        QVERIFY(QFile::exists(at("share/applications/") + launchable));

        const QString appstream = tool("appstreamcli");
        if (appstream.isEmpty())
            QSKIP("appstreamcli is not installed (package appstream)");
        const Run r = run(appstream, {"validate", "--no-net", path});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    }

    void udevRule()
    {
        // Below the prefix's own lib/ (/usr/lib/udev/rules.d in the package), where
        // udev looks, not the multiarch library directory.
        const QString path = at("lib/udev/rules.d/70-rq300.rules");
        const QString text = readText(path);
        QVERIFY2(!text.isEmpty(), qPrintable(path));
        QStringList errors;
        const QList<UdevLine> rules = parseUdev(text, &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        QVERIFY(!rules.isEmpty());

        // Every chip of the list the port window names: the programming
        // cables' serial devices may be opened by the user at the seat and
        // are kept from ModemManager; the other chips stay as the system has them.
        const QStringList chips = readText(QStringLiteral(RQ300_SOURCE_DIR "/core/radio/cablechips.txt")).split(u'\n');
        int cables = 0, others = 0;
        for (const QString& line : chips) {
            const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
            if (f.size() != 4 || f[0].startsWith(u'#'))
                continue;
            const bool cable = f[3] == QLatin1String("yes");
            (cable ? cables : others)++;
            const QString name = f[2];
            UdevDevice tty;
            tty.subsystem = QStringLiteral("tty");
            tty.attrs = {{"idVendor", f[0]}, {"idProduct", f[1]}};
            applyUdev(rules, tty);
            QVERIFY2(tty.tags.contains("uaccess") == cable, qPrintable(name));
            QVERIFY2((tty.env.value("ID_MM_DEVICE_IGNORE") == "1") == cable, qPrintable(name));
            if (!cable)
                continue;
            // The USB device itself is kept from ModemManager but gets no access.
            UdevDevice device = tty;
            device.subsystem = QStringLiteral("usb");
            device.tags.clear();
            device.env.clear();
            applyUdev(rules, device);
            QVERIFY2(device.env.value("ID_MM_DEVICE_IGNORE") == "1", qPrintable(name));
            QVERIFY2(!device.tags.contains("uaccess"), qPrintable(name));
            // Unplugging changes nothing.
            UdevDevice removed = tty;
            removed.action = QStringLiteral("remove");
            removed.tags.clear();
            removed.env.clear();
            applyUdev(rules, removed);
            QVERIFY(removed.tags.isEmpty());
            QVERIFY(removed.env.value("ID_MM_DEVICE_IGNORE").isEmpty());
        }
        QVERIFY(cables >= 14);
        QVERIFY(others >= 1);
        // Other adapters and the built-in port stay as the system has them.
        for (const QHash<QString, QString>& attrs :
             {QHash<QString, QString>{{"idVendor", "2341"}, {"idProduct", "0043"}},
              QHash<QString, QString>{{"idVendor", "1a86"}, {"idProduct", "7522"}},
              QHash<QString, QString>{{"idVendor", "0403"}, {"idProduct", "6014"}}, QHash<QString, QString>{}}) {
            UdevDevice other;
            other.subsystem = QStringLiteral("tty");
            other.attrs = attrs;
            applyUdev(rules, other);
            QVERIFY(other.tags.isEmpty());
            QVERIFY(other.env.value("ID_MM_DEVICE_IGNORE").isEmpty());
        }
    }

    // Each program has its manual page, compressed, naming every option
    // its --help lists and the other programs; rq300-cli's also describes
    // every command and, with each, the options that command takes.
    void manPages()
    {
        const QString groff = tool("groff");
        for (const QString& name : Programs) {
            const QString path = at(QStringLiteral("share/man/man1/%1.1.gz").arg(name));
            const QString page = gunzip(path);
            QVERIFY2(!page.isEmpty(), qPrintable(path));
            const Run help = run(program(name), {"--help"});
            QCOMPARE(help.exitCode, 0);
            // rq300-cli's own help lists commands; their options follow below.
            QStringList options = helpOptions(help.out);
            QVERIFY2(name == QLatin1String("rq300-cli") || options.contains("--help"), qPrintable(name));
            options << QStringLiteral("--version");
            const QString optionsPart = manSection(page, QStringLiteral("OPTIONS"));
            for (const QString& option : options)
                QVERIFY2(namesOption(optionsPart, option), qPrintable(name + u' ' + option));
            const QString seeAlso = manSection(page, QStringLiteral("SEE ALSO"));
            for (const QString& other : Programs)
                QVERIFY2(other == name || seeAlso.contains(QStringLiteral(".BR %1 (1)").arg(roff(other))),
                         qPrintable(name + QStringLiteral(" does not name ") + other));
            if (!groff.isEmpty()) {
                QProcess g;
                g.start(groff, {"-man", "-Tutf8", "-ww", "-z"});
                g.write(page.toUtf8());
                g.closeWriteChannel();
                QVERIFY(g.waitForFinished(30000));
                QCOMPARE(g.exitCode(), 0);
                QVERIFY2(g.readAllStandardError().isEmpty(), qPrintable(name));
            }
        }

        const QString page = gunzip(at("share/man/man1/rq300-cli.1.gz"));
        const QString commandsPart = manSection(page, QStringLiteral("COMMANDS"));
        static const QRegularExpression commandLine(QStringLiteral("^  ([a-z][a-z-]*) "), QRegularExpression::MultilineOption);
        const Run help = run(program("rq300-cli"), {"--help"});
        QStringList commands;
        for (const QRegularExpressionMatch& m : commandLine.globalMatch(help.out))
            commands << m.captured(1);
        QVERIFY(commands.size() >= 9);
        for (const QString& command : commands) {
            const QString entry = commandsPart.section(QStringLiteral(".TP\n.B ") + roff(command) + u'\n', 1)
                                      .section(QStringLiteral("\n.TP\n"), 0, 0);
            QVERIFY2(!entry.isEmpty(), qPrintable(command));
            const Run own = run(program("rq300-cli"), {command, "--help"});
            QCOMPARE(own.exitCode, 0);
            const QStringList options = helpOptions(own.out);
            QVERIFY2(options.contains("--help"), qPrintable(command));
            for (const QString& option : options) {
                QVERIFY2(namesOption(manSection(page, QStringLiteral("OPTIONS")), option),
                         qPrintable(command + u' ' + option));
                QVERIFY2(option == QLatin1String("--help") || namesOption(entry, option),
                         qPrintable(command + u' ' + option));
            }
        }
        if (groff.isEmpty())
            QSKIP("groff is not installed (package groff-base)");
    }

    // One version everywhere: each program's --version, the manual pages,
    // the newest release of the metainfo and of the changelog.
    void versionsAgree()
    {
        const QString version = QStringLiteral(RQ300_VERSION);
        for (const QString& name : Programs) {
            const Run r = run(program(name), {"--version"});
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(r.out, name + u' ' + version + u'\n');
            const QString page = gunzip(at(QStringLiteral("share/man/man1/%1.1.gz").arg(name)));
            QCOMPARE(page.section(u'\n', 0, 0),
                     QStringLiteral(".TH %1 1 \"%2\" \"RQ-300 %3\" \"User Commands\"")
                         .arg(name.toUpper(), QStringLiteral(RQ300_RELEASE_DATE), version));
        }
        QFile metainfo(at("share/metainfo/org.rq300.programmer.metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&metainfo);
        while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("release"))) {
        }
        QCOMPARE(xml.attributes().value("version").toString(), version);
        QCOMPARE(xml.attributes().value("date").toString(), QStringLiteral(RQ300_RELEASE_DATE));
        const QString changelog = gunzip(at("share/doc/rq300/changelog.gz"));
        QCOMPARE(changelog.section(u'\n', 0, 0), QStringLiteral("rq300 (%1) unstable; urgency=medium").arg(version));
    }
};

QTEST_MAIN(TestDist)
#include "test_dist.moc"
