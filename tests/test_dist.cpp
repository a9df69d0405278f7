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
        QCOMPARE(keys.value("Exec"), "rq300");
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
        // Below the prefix's own lib/, where udev looks, not the multiarch library directory.
        const QString path = at("lib/udev/rules.d/70-rq300.rules");
        const QString text = readText(path);
        QVERIFY2(!text.isEmpty(), qPrintable(path));
        QStringList errors;
        const QList<UdevLine> rules = parseUdev(text, &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        QVERIFY(!rules.isEmpty());

        struct Chip { const char* vendor; const char* product; };
        for (const Chip& c : {Chip{"1a86", "7523"}, Chip{"067b", "2303"}, Chip{"10c4", "ea60"}, Chip{"0403", "6001"}}) {
            const QString name = QStringLiteral("%1:%2").arg(QLatin1String(c.vendor), QLatin1String(c.product));
            // The serial device of a cable: the user at the seat may open it,
            // and ModemManager keeps away.
            UdevDevice tty;
            tty.subsystem = QStringLiteral("tty");
            tty.attrs = {{"idVendor", c.vendor}, {"idProduct", c.product}};
            applyUdev(rules, tty);
            QVERIFY2(tty.tags.contains("uaccess"), qPrintable(name));
            QVERIFY2(tty.env.value("ID_MM_DEVICE_IGNORE") == "1", qPrintable(name));
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

    void manPage()
    {
        const QString path = at("share/man/man1/rq300-cli.1");
        const QString page = readText(path);
        QVERIFY2(!page.isEmpty(), qPrintable(path));

        // Every command and every option the tool's help lists is described.
        const QString cli = qEnvironmentVariable("RQ300_BIN_DIR") + QStringLiteral("/rq300-cli");
        const Run help = run(cli, {"--help"});
        QCOMPARE(help.exitCode, 0);
        const QString commandsPart = page.section(QStringLiteral(".SH COMMANDS"), 1).section(QStringLiteral(".SH "), 0, 0);
        const QString optionsPart = page.section(QStringLiteral(".SH OPTIONS"), 1).section(QStringLiteral(".SH "), 0, 0);
        static const QRegularExpression commandLine(QStringLiteral("^  ([a-z][a-z-]*) "), QRegularExpression::MultilineOption);
        static const QRegularExpression optionLine(QStringLiteral("^  (--[a-z][a-z-]*)"), QRegularExpression::MultilineOption);
        QStringList commands;
        for (const QRegularExpressionMatch& m : commandLine.globalMatch(help.out))
            commands << m.captured(1);
        QVERIFY(commands.size() >= 6);
        for (const QString& command : commands) {
            QVERIFY2(commandsPart.contains(QStringLiteral("\n.B ") + roff(command) + u'\n'), qPrintable(command));
            const Run own = run(cli, {command, "--help"});
            QCOMPARE(own.exitCode, 0);
            for (const QRegularExpressionMatch& m : optionLine.globalMatch(own.out)) {
                const QString option = roff(m.captured(1));
                QVERIFY2(optionsPart.contains(QStringLiteral("\n.B ") + option)
                             || optionsPart.contains(QStringLiteral("\n.BI ") + option),
                         qPrintable(command + u' ' + m.captured(1)));
            }
        }

        const QString groff = tool("groff");
        if (groff.isEmpty())
            QSKIP("groff is not installed (package groff-base)");
        const Run r = run(groff, {"-man", "-Tutf8", "-ww", "-z", path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    }
};

QTEST_MAIN(TestDist)
#include "test_dist.moc"
