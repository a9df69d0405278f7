#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "gui/portwindow.h"
#include "gui/readwritedialog.h"
#include "app/appstate.h"
#include "base/packstrings.h"
#include "base/textids.h"
#include "radio/cables.h"
#include "radio/portmap.h"
#include "radio/seriallink.h"
#include "sim/simradio.h"
#include "radiofixture.h"
#include "scriptedprompter.h"

namespace {

// Everything the window is given, with every port pointing nowhere unless a
// test says otherwise, so the machine's own serial ports play no part.
struct Context {
    AppState state;
    SerialLink link;
    PortMap ports;
    AppContext ctx;
    Context()
    {
        for (int n = 1; n <= PortMap::Count; ++n)
            ports.setPath(n, QStringLiteral("/dev/rq300-test-missing-%1").arg(n));
        ctx.state = &state;
        ctx.link = &link;
        ctx.ports = &ports;
    }
};

// Puts a port list in place of the system's for as long as it lives.
struct FakePorts {
    QList<SerialPortDescription> list;
    FakePorts() { Cables::setPortLister([this] { return list; }); }
    ~FakePorts() { Cables::setPortLister({}); }
    void add(const QString& device, quint16 vendor, quint16 product) { list.append({device, true, vendor, product}); }
};

} // namespace

class TestPortWindow : public QObject {
    Q_OBJECT
private slots:
    void designState()
    {
        Context c;
        PortWindow w(c.ctx);
        QCOMPARE(w.objectName(), "communy");
        QCOMPARE(w.windowTitle(), "通信端口");
        QVERIFY(w.isModal());
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        auto* group = w.findChild<QGroupBox*>("GroupBox1");
        QVERIFY(group);
        auto* grid = qobject_cast<QGridLayout*>(group->layout());
        QVERIFY(grid);
        for (int n = 1; n <= 16; ++n) {
            auto* b = group->findChild<QRadioButton*>(QStringLiteral("com%1").arg(n));
            QVERIFY(b);
            QCOMPARE(b->text(), QStringLiteral("COM%1").arg(n));
            int row, col, rs, cs;
            grid->getItemPosition(grid->indexOf(b), &row, &col, &rs, &cs);
            QCOMPARE(row, (n - 1) / 4);
            QCOMPARE(col, (n - 1) % 4);
            QCOMPARE(b->isChecked(), n == 1);
        }
        QCOMPARE(w.findChild<QCheckBox*>("CheckBox1")->text(), "单口");
        QCOMPARE(w.findChild<QPushButton*>("button1")->text(), "确定");
        QCOMPARE(w.tag(), 1);
    }

    void showProbesEveryPort()
    {
        Context c;
        SimRadio free, busy;
        QVERIFY(free.start());
        QVERIFY(busy.start());
        c.ports.setPath(1, free.devicePath());
        c.ports.setPath(2, busy.devicePath());
        SerialLink holder;
        holder.setDevice(busy.devicePath());

        PortWindow w(c.ctx);
        w.show();
        QVERIFY(w.portButton(2)->isEnabled());
        QTest::mouseClick(w.portButton(2), Qt::LeftButton);
        QCOMPARE(w.tag(), 2);
        w.close();

        QVERIFY(holder.open());
        w.show();
        QVERIFY(w.portButton(1)->isEnabled());
        // Held by another program: disabled, and the ticked port stays ticked.
        QVERIFY(!w.portButton(2)->isEnabled());
        QVERIFY(w.portButton(2)->isChecked());
        QCOMPARE(w.tag(), 2);
        for (int n = 3; n <= 16; ++n)
            QVERIFY2(!w.portButton(n)->isEnabled(), qPrintable(QString::number(n)));
        // Each tip names the device; a port that cannot be used also says why.
        QCOMPARE(w.portButton(1)->toolTip(), c.ports.path(1));
        for (int n = 2; n <= 16; ++n) {
            const QStringList tip = w.portButton(n)->toolTip().split(u'\n');
            QCOMPARE(tip.size(), 2);
            QCOMPARE(tip[0], c.ports.path(n));
            QVERIFY(tip[1].contains(c.ports.path(n)));
        }
        // A disabled port cannot be ticked.
        QTest::mouseClick(w.portButton(3), Qt::LeftButton);
        QVERIFY(!w.portButton(3)->isChecked());
        QCOMPARE(w.tag(), 2);
        w.close();

        // The next show probes again: the radio gone, the other port free.
        free.stop();
        holder.close();
        w.show();
        QVERIFY(!w.portButton(1)->isEnabled());
        QVERIFY(w.portButton(2)->isEnabled());
        w.close();
    }

    void clicksTakeEffectAtOnce()
    {
        Context c;
        SimRadio radio;
        QVERIFY(radio.start());
        c.ports.setPath(3, radio.devicePath());
        PortWindow w(c.ctx);
        w.show();
        QTest::mouseClick(w.portButton(3), Qt::LeftButton);
        QCOMPARE(w.tag(), 3);
        QCOMPARE(c.state.chosenPort, 3);
        QCOMPARE(c.link.device(), radio.devicePath());

        auto* single = w.findChild<QCheckBox*>("CheckBox1");
        QTest::mouseClick(single, Qt::LeftButton);
        QVERIFY(c.state.singlePort);
        QVERIFY(c.link.singlePort());
        // Closing by the close box keeps every pick: there is no cancel.
        w.close();
        QCOMPARE(c.state.chosenPort, 3);
        QVERIFY(c.state.singlePort);
        w.show();
        QTest::mouseClick(single, Qt::LeftButton);
        QVERIFY(!c.state.singlePort);
        QVERIFY(!c.link.singlePort());
        QTest::mouseClick(w.findChild<QPushButton*>("button1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    void restoreGoesThroughTheHandlers()
    {
        Context c;
        PortWindow w(c.ctx);
        w.restore(5, true);
        QVERIFY(w.portButton(5)->isChecked());
        QVERIFY(!w.portButton(1)->isChecked());
        QCOMPARE(w.tag(), 5);
        QCOMPARE(c.state.chosenPort, 5);
        QCOMPARE(c.link.device(), c.ports.path(5));
        QVERIFY(w.findChild<QCheckBox*>("CheckBox1")->isChecked());
        QVERIFY(c.state.singlePort);
        QVERIFY(c.link.singlePort());

        // A stored port no button has keeps the design port, and the link
        // still learns it.
        Context d;
        d.state.chosenPort = 9;
        PortWindow v(d.ctx);
        v.restore(17, false);
        QCOMPARE(v.tag(), 1);
        QVERIFY(v.portButton(1)->isChecked());
        QCOMPARE(d.state.chosenPort, 1);
        QCOMPARE(d.link.device(), d.ports.path(1));
        QVERIFY(!d.link.singlePort());
        v.restore(0, false);
        QCOMPARE(v.tag(), 1);
    }

    void chipNamesAndTheProgrammingCable()
    {
        Context c;
        FakePorts fake;
        SimRadio cable, adapter;
        QVERIFY(cable.start());
        QVERIFY(adapter.start());
        c.ports.setPath(1, cable.devicePath());
        c.ports.setPath(2, adapter.devicePath());
        fake.add(cable.devicePath(), 0x1a86, 0x7523);
        fake.add(adapter.devicePath(), 0x0403, 0x6014);
        fake.add(QStringLiteral("/dev/rq300-test-unmapped"), 0x067b, 0x2303);

        PortWindow w(c.ctx);
        w.show();
        QCOMPARE(w.portButton(1)->text(), "COM1  CH340");
        QVERIFY(w.portButton(1)->font().bold());
        QCOMPARE(w.portButton(1)->toolTip(),
                 c.ports.path(1) + u'\n'
                     + c.state.text(TextId::CableProgrammingTip).arg("CH340", "1a86:7523"));
        QCOMPARE(w.portButton(2)->text(), "COM2  FT232H");
        QVERIFY(!w.portButton(2)->font().bold());
        QCOMPARE(w.portButton(2)->toolTip(),
                 c.ports.path(2) + u'\n' + c.state.text(TextId::CableChipTip).arg("FT232H", "0403:6014"));
        for (int n = 3; n <= 16; ++n) {
            QCOMPARE(w.portButton(n)->text(), QStringLiteral("COM%1").arg(n));
            QVERIFY(!w.portButton(n)->font().bold());
        }
        w.close();

        // Unplugged: the next show names nothing.
        fake.list.clear();
        w.show();
        QCOMPARE(w.portButton(1)->text(), "COM1");
        QVERIFY(!w.portButton(1)->font().bold());
        QCOMPARE(w.portButton(1)->toolTip(), c.ports.path(1));
        w.close();
    }

    void readOffersThePluggedInCable()
    {
        RadioFixture f;
        FakePorts fake;
        ScriptedPrompter prompter;
        PortMap ports;
        for (int n = 1; n <= PortMap::Count; ++n)
            ports.setPath(n, QStringLiteral("/dev/rq300-test-missing-%1").arg(n));
        ports.setPath(3, f.sim.devicePath());
        fake.add(f.sim.devicePath(), 0x1a86, 0x7523);
        f.state.chosenPort = 1;
        AppContext ctx{&f.doc, &f.state, &f.link, &ports, &f.identity, {}};
        PortWindow communy(ctx);
        communy.restore(1, false);
        ReadWriteDialog rw(ctx);
        const QString question =
            Cables::offerQuestion(1, ports, Cables::Offer{3, f.sim.devicePath(), "CH340"}).text(f.state.texts);

        // No: the chosen port stays, and its failure is reported as before.
        prompter.answers = {false};
        QVERIFY(!rw.prepareCommand(1, "读频", "读 频"));
        QCOMPARE(prompter.questions.size(), 1);
        QCOMPARE(prompter.questions[0].text, question);
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(f.state.chosenPort, 1);

        // Yes: the transfer goes to the cable, and the port window shows it ticked.
        prompter.answers = {true};
        QVERIFY(rw.prepareCommand(1, "读频", "读 频"));
        QCOMPARE(prompter.questions.size(), 2);
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(f.state.chosenPort, 3);
        QCOMPARE(f.link.device(), f.sim.devicePath());
        communy.show();
        QVERIFY(communy.portButton(3)->isChecked());
        QCOMPARE(communy.tag(), 3);
        communy.close();

        // The chosen port now has its device: nothing more is asked.
        QVERIFY(rw.prepareCommand(2, "写频", "写 频"));
        QCOMPARE(prompter.questions.size(), 2);
        // Two cables plugged in: no guess.
        f.state.chosenPort = 1;
        fake.add(QStringLiteral("/dev/rq300-test-missing-2"), 0x10c4, 0xea60);
        QVERIFY(!rw.prepareCommand(1, "读频", "读 频"));
        QCOMPARE(prompter.questions.size(), 2);
        QCOMPARE(prompter.messages.size(), 2);
    }

    void packTexts()
    {
        Context c;
        PortWindow w(c.ctx);
        PackStrings english;
        english.set(22, "Communication port");
        english.set(2, "OK");
        english.set(142, "Single port");
        w.applyTexts(english);
        QCOMPARE(w.windowTitle(), "Communication port");
        QCOMPARE(w.findChild<QGroupBox*>("GroupBox1")->title(), "Communication port");
        QCOMPARE(w.findChild<QPushButton*>("button1")->text(), "OK");
        QCOMPARE(w.findChild<QCheckBox*>("CheckBox1")->text(), "Single port");
        // A pack that lacks the texts leaves the captions as they are.
        w.applyTexts(PackStrings());
        QCOMPARE(w.windowTitle(), "Communication port");
        QCOMPARE(w.findChild<QCheckBox*>("CheckBox1")->text(), "Single port");
    }
};

QTEST_MAIN(TestPortWindow)
#include "test_portwindow.moc"
