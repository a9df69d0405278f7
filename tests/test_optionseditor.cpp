#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>
#include <memory>

#include "app/appcontext.h"
#include "app/appstate.h"
#include "document/optionlists.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/optionseditor.h"
#include "base/textids.h"

namespace {
struct Fixture {
    SettingsDocument doc;
    AppState state;
    AppContext ctx;
    std::unique_ptr<OptionsEditor> window;

    Fixture()
    {
        ctx.doc = &doc;
        ctx.state = &state;
        window = std::make_unique<OptionsEditor>(ctx);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
    }
    template <class T> T* get(const QString& key) const
    {
        T* w = window->findChild<T*>(key.mid(key.indexOf('.') + 1));
        if (!w)
            qWarning() << "no control for" << key;
        return w;
    }
    void typeInto(QWidget* w, const QString& text)
    {
        w->setFocus();
        QTest::keyClicks(w, text);
    }
};

PackStrings english()
{
    PackStrings p;
    const std::pair<int, const char*> texts[] = {
        {20, "Optional Features"}, {81, "Auto Power Off"}, {162, "Long"}, {163, "Short"},
        {248, "Top Key "}, {100, "Side Keys"}, {153, "Power-on Tone"}, {220, "Minutes"},
        {42, "Alarm"}, {34, "OFF"}, {51, "Chinese"}, {52, "English"}, {165, "Monitor"},
        {209, "Frequency"}, {210, "Channel"}, {TextId::ValueUnknown, "Unknown"}};
    for (const auto& [id, t] : texts)
        p.set(id, QString::fromUtf8(t));
    return PackStrings::withFallback(p);
}
}

class TestOptionsEditor : public QObject {
    Q_OBJECT
private slots:
    void everySettingHasItsControlShowingTheDefault()
    {
        Fixture f;
        QCOMPARE(f.window->objectName(), "func");
        QCOMPARE(f.window->windowTitle(), "功能选项");
        for (const QString& key : OptionLists::choiceKeys()) {
            if (!key.startsWith("func."))
                continue;
            auto* box = f.get<QComboBox>(key);
            QVERIFY2(box && box->isVisible(), qPrintable(key));
            QCOMPARE(box->count(), f.doc.options(key).size());
            // A value the program does not know yet (the radio's volume) shows none.
            QCOMPARE(box->currentIndex(), f.doc.data().carries(key) ? f.doc.choice(key) : -1);
        }
        QCOMPARE(f.get<QComboBox>(Key::AutoPowerOff)->count(), 16);
        QCOMPARE(f.get<QComboBox>(Key::TopLong)->maxVisibleItems(), 16);
        QCOMPARE(f.get<QComboBox>(Key::DtmfTime)->currentText(), "100ms");
        for (const QString& key : {Key::PowerOnTone, Key::EndTone, Key::BatterySave, Key::KeyBeep,
                                   Key::TxInhibit, Key::LowBatteryTone, Key::TinyPower,
                                   Key::VoxRxInhibit, Key::Lease, Key::WriteNewPassword}) {
            auto* b = f.get<QCheckBox>(key);
            QVERIFY2(b && b->isVisible(), qPrintable(key));
            QCOMPARE(b->isChecked(), f.doc.flag(key));
        }
        QCOMPARE(f.get<QLineEdit>(Key::EndDtmf)->text(), "123");
        // Shown as "?" (one below its range) until known.
        QCOMPARE(f.get<QSpinBox>(Key::LeaseHours)->value(), f.get<QSpinBox>(Key::LeaseHours)->minimum());
        QCOMPARE(f.get<QSpinBox>(Key::LeaseHours)->text(), "?");
        // A few captions of the layout, by their labels.
        QCOMPARE(f.window->findChild<QLabel*>("Label14")->text(), "顶键长键");
        QCOMPARE(f.window->findChild<QGroupBox*>("GroupBox1")->title(), "VOX");
        QCOMPARE(f.window->findChild<QGroupBox*>("GroupBox11")->title(), "租赁");
    }

    void controlsAndDocumentFollowEachOther()
    {
        Fixture f;
        auto* squelch = f.get<QComboBox>(Key::Squelch);
        squelch->setCurrentIndex(7);
        QCOMPARE(f.doc.choice(Key::Squelch), 7);
        f.doc.setChoice(Key::P2Short, 3);
        QCOMPARE(f.get<QComboBox>(Key::P2Short)->currentIndex(), 3);

        auto* endTone = f.get<QCheckBox>(Key::EndTone);
        QTest::mouseClick(endTone, Qt::LeftButton, {}, QPoint(8, endTone->height() / 2));
        QVERIFY(f.doc.flag(Key::EndTone));
        f.doc.setFlag(Key::KeyBeep, false);
        QVERIFY(!f.get<QCheckBox>(Key::KeyBeep)->isChecked());

        // Open or a read replaces everything at once.
        DocumentData d = f.doc.data();
        d.setChoice(Key::Volume, 15);
        d.setChoice(Key::TopLong, -1);
        d.setText(Key::EndDtmf, "9#");
        d.setNumber(Key::LeaseDays, 200);
        d.setFlag(Key::Alarm, true);
        f.doc.replace(d);
        QCOMPARE(f.get<QComboBox>(Key::Volume)->currentText(), "15");
        QCOMPARE(f.get<QComboBox>(Key::TopLong)->currentIndex(), -1);
        QCOMPARE(f.get<QLineEdit>(Key::EndDtmf)->text(), "9#");
        QCOMPARE(f.get<QSpinBox>(Key::LeaseDays)->value(), 200);
        auto* alarm = f.get<QCheckBox>(Key::Alarm);
        QVERIFY(alarm->isChecked());
        QVERIFY(!alarm->isVisible());           // never shown
        QCOMPARE(f.doc.choice(Key::Squelch), 7);

        f.doc.resetToNew();
        QCOMPARE(f.get<QComboBox>(Key::Squelch)->currentIndex(), 2);
        QCOMPARE(f.get<QLineEdit>(Key::EndDtmf)->text(), "123");
    }

    void endCodeFilter()
    {
        Fixture f;
        auto* e = f.get<QLineEdit>(Key::EndDtmf);
        e->clear();
        f.typeInto(e, "a E");
        QCOMPARE(e->text(), "A");
        f.typeInto(e, "d*#1");        // a fifth character is refused
        QCOMPARE(e->text(), "AD*#");
        QCOMPARE(f.doc.text(Key::EndDtmf), "AD*#");
        QTest::keyClick(e, Qt::Key_Backspace);
        f.typeInto(e, "9");
        QCOMPARE(e->text(), "AD*9");
        e->selectAll();
        e->insert("xy");              // pasting obeys the filter too
        QCOMPARE(e->text(), "AD*9");
    }

    void passwordFilter()
    {
        Fixture f;
        for (const QString& key : {Key::Password, Key::NewPassword}) {
            auto* e = f.get<QLineEdit>(key);
            QCOMPARE(e->echoMode(), QLineEdit::Password);
            f.typeInto(e, "12a*B#3 4567890123");
            QCOMPARE(e->text(), "12*#34567890");
            QCOMPARE(e->text().size(), 12);
            QCOMPARE(f.doc.text(key), "12*#34567890");
        }
    }

    void leaseSpinBoxes()
    {
        Fixture f;
        auto* days = f.get<QSpinBox>(Key::LeaseDays);
        auto* hours = f.get<QSpinBox>(Key::LeaseHours);
        auto* minutes = f.get<QSpinBox>(Key::LeaseMinutes);
        QCOMPARE(days->maximum(), 255);
        QCOMPARE(hours->maximum(), 23);
        QCOMPARE(minutes->maximum(), 50);
        QCOMPARE(minutes->singleStep(), 10);
        auto* daysEdit = f.window->findChild<QLineEdit*>("Edit13");
        auto* minutesEdit = f.window->findChild<QLineEdit*>("Edit15");
        QVERIFY(daysEdit && f.window->findChild<QLineEdit*>("Edit14") && minutesEdit);
        QVERIFY(minutesEdit->isReadOnly());
        QVERIFY(!daysEdit->isReadOnly());

        days->setFocus();
        daysEdit->selectAll();
        QTest::keyClicks(days, "254");
        QTest::keyClick(days, Qt::Key_Up);
        QTest::keyClick(days, Qt::Key_Up);
        QCOMPARE(f.doc.number(Key::LeaseDays), 255);
        minutes->setFocus();
        QTest::keyClicks(minutes, "3");
        QCOMPARE(minutes->value(), 0);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(minutes, Qt::Key_Up);
        QCOMPARE(minutes->value(), 50);
        QCOMPARE(f.doc.number(Key::LeaseMinutes), 50);
        hours->setValue(40);
        QCOMPARE(f.doc.number(Key::LeaseHours), 23);
    }

    void closingHidesAndKeepsTheValues()
    {
        Fixture f;
        f.get<QComboBox>(Key::Voice)->setCurrentIndex(2);
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isHidden());
        f.window->show();
        QCOMPARE(f.get<QComboBox>(Key::Voice)->currentIndex(), 2);
    }

    void languageSwitchRewordsAndKeepsPositions()
    {
        Fixture f;
        f.doc.setChoice(Key::Voice, 2);
        f.doc.setChoice(Key::TopLong, 1);

        const PackStrings en = english();
        f.doc.applyLanguage(en);
        f.window->applyTexts(en);
        QCOMPARE(f.window->windowTitle(), "Optional Features");
        QCOMPARE(f.window->findChild<QLabel*>("Label1")->text(), "Auto Power Off");
        QCOMPARE(f.window->findChild<QLabel*>("Label14")->text(), "Top Key Long");
        QCOMPARE(f.window->findChild<QLabel*>("Label9")->text(), "P1 Short");
        QCOMPARE(f.window->findChild<QGroupBox*>("GroupBox2")->title(), "Side Keys");
        QCOMPARE(f.window->findChild<QLabel*>("Label35")->text(), "Minutes");
        QCOMPARE(f.get<QCheckBox>(Key::PowerOnTone)->text(), "Power-on Tone");
        QCOMPARE(f.get<QCheckBox>(Key::Alarm)->text(), "Alarm");
        QCOMPARE(f.get<QCheckBox>(Key::TinyPower)->text(), "Tiny Power");
        QCOMPARE(f.get<QComboBox>(Key::Voice)->currentText(), "English");
        QCOMPARE(f.get<QComboBox>(Key::TopLong)->currentText(), "Monitor");
        QCOMPARE(f.get<QComboBox>(Key::AutoPowerOff)->itemText(0), "OFF");
        QCOMPARE(f.doc.choice(Key::Voice), 2);
    }

    // Volume and lease time that an opened file lacks show as unknown, also
    // after a language switch, until the user sets them.
    void valuesTheDocumentDoesNotKnow()
    {
        Fixture f;
        DocumentData d = f.doc.data();
        for (const QString& key : Key::NotInOlderFiles)
            d.setNotCarried(key);
        f.doc.replace(d);
        f.doc.markSaved("old.kq19");
        auto* volume = f.get<QComboBox>(Key::Volume);
        const QList<QSpinBox*> lease = {f.get<QSpinBox>(Key::LeaseDays), f.get<QSpinBox>(Key::LeaseHours),
                                        f.get<QSpinBox>(Key::LeaseMinutes)};
        auto showsUnknown = [&](const QString& word) {
            QCOMPARE(volume->currentIndex(), -1);
            QCOMPARE(volume->placeholderText(), word);
            QVERIFY(!volume->toolTip().isEmpty());
            for (QSpinBox* box : lease) {
                QCOMPARE(box->text(), "?");
                QCOMPARE(box->toolTip(), volume->toolTip());
            }
        };
        showsUnknown(PackStrings::builtIn().text(TextId::ValueUnknown));
        const PackStrings en = english();
        f.doc.applyLanguage(en);
        f.window->applyTexts(en);
        showsUnknown("Unknown");
        QVERIFY(!f.doc.data().carries(Key::Volume));
        QVERIFY(!f.doc.isModified());

        volume->setCurrentIndex(5);
        QVERIFY(f.doc.data().carries(Key::Volume));
        QCOMPARE(f.doc.choice(Key::Volume), 5);
        QVERIFY(f.doc.isModified());
        QVERIFY(volume->toolTip().isEmpty());
        QVERIFY(f.doc.undo());
        QCOMPARE(volume->currentIndex(), -1);
        QVERIFY(!f.doc.data().carries(Key::Volume));
        QVERIFY(!f.doc.isModified());
        QVERIFY(f.doc.redo());
        QCOMPARE(volume->currentText(), "5");

        // One step up from the unknown lease time makes all three known.
        lease[1]->setFocus();
        QTest::keyClick(lease[1], Qt::Key_Up);
        QVERIFY(f.doc.data().carries(Key::LeaseDays));
        QCOMPARE(f.doc.number(Key::LeaseHours), 0);
        for (int i = 0; i < 3; ++i) {
            const QString key = QList{Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes}[i];
            QCOMPARE(lease[i]->text(), QString::number(f.doc.number(key)));
            QCOMPARE(lease[i]->minimum(), 0);
        }
        QTest::keyClick(lease[1], Qt::Key_Down);
        QCOMPARE(lease[1]->text(), "0");   // the unknown cannot be chosen again
    }
};

QTEST_MAIN(TestOptionsEditor)
#include "test_optionseditor.moc"
