// Every window in every language: nothing cut, nothing left in another language.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "gui/aboutbox.h"
#include "gui/radioinfowindow.h"
#include "gui/channeleditor.h"
#include "gui/optionseditor.h"
#include "gui/languageswitch.h"
#include "gui/portwindow.h"
#include "gui/readwritedialog.h"
#include "gui/alignmentwindow.h"
#include "gui/prompter.h"
#include "gui/userguide.h"
#include "files/backups.h"
#include "radio/identity.h"
#include "sim/simradio.h"
#include "app/appstate.h"
#include "base/textids.h"
#include "mainwindowfixture.h"

namespace {

const char* const LanguageItems[] = {"N5", "N6", "N7"};

// Width the text of a line edit needs against the width its frame leaves.
bool lineEditFits(const QLineEdit* e, int* need, int* room)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    // QLineEdit keeps 2 pixels left and right of its text.
    *room = contents.width() - m.left() - m.right() - 4;
    *need = e->fontMetrics().horizontalAdvance(e->displayText());
    return *need <= *room && contents.height() >= e->fontMetrics().height();
}

// A widget that lies partly outside one of its parents up to `top` is cut
// there, however wide it is itself. Scroll areas scroll on purpose.
bool insideParents(const QWidget* w, const QWidget* top)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QAbstractScrollArea*>(p->parentWidget()))
            return true;
        const QRect r(w->mapTo(p, QPoint(0, 0)), w->size());
        if (!p->rect().contains(r))
            return false;
        if (p == top)
            break;
    }
    return true;
}

// Every visible label, button, check box and line edit of `window` that is
// narrower or lower than its text needs, as lines "object: why".
QStringList cutTexts(QWidget* window)
{
    QStringList out;
    auto name = [](const QWidget* w) {
        return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                           w->objectName().isEmpty() ? QStringLiteral("(unnamed)") : w->objectName());
    };
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (!w->isVisible() || !w->isVisibleTo(window))
            continue;
        // A combo box's own editor and buttons inside Qt's composite widgets
        // are not the program's captions.
        if (qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        QString problem;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty())
                continue;
            if (l->wordWrap()) {
                if (l->heightForWidth(l->width()) > l->height())
                    problem = QStringLiteral("needs height %1, has %2").arg(l->heightForWidth(l->width())).arg(l->height());
            } else if (l->width() < l->sizeHint().width() || l->height() < l->minimumSizeHint().height()) {
                problem = QStringLiteral("needs %1x%2, has %3x%4")
                              .arg(l->sizeHint().width()).arg(l->minimumSizeHint().height())
                              .arg(l->width()).arg(l->height());
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->text().isEmpty())
                continue;
            if (b->width() < b->sizeHint().width() || b->height() < b->fontMetrics().height())
                problem = QStringLiteral("needs %1 wide, has %2x%3").arg(b->sizeHint().width()).arg(b->width()).arg(b->height());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (!g->title().isEmpty() && g->width() < g->minimumSizeHint().width())
                problem = QStringLiteral("title needs %1, has %2").arg(g->minimumSizeHint().width()).arg(g->width());
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            int need = 0, room = 0;
            if (e->echoMode() == QLineEdit::Normal && !lineEditFits(e, &need, &room))
                problem = QStringLiteral("text \"%1\" needs %2, room %3").arg(e->text()).arg(need).arg(room);
        } else {
            continue;
        }
        if (problem.isEmpty() && !insideParents(w, window))
            problem = QStringLiteral("lies outside its parent");
        if (!problem.isEmpty())
            out << QStringLiteral("%1: %2").arg(name(w), problem);
    }
    return out;
}

// Han characters in a text (the English windows must have none).
bool hasHan(const QString& s)
{
    for (QChar c : s)
        if (c.script() == QChar::Script_Han)
            return true;
    return false;
}

QStringList visibleTexts(QWidget* window)
{
    QStringList out{window->windowTitle()};
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto* l = qobject_cast<QLabel*>(w))
            out << l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            out << b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            out << g->title();
        else if (auto* s = qobject_cast<QStatusBar*>(w))
            out << s->currentMessage();
    }
    return out;
}

}

class TestWindowTexts : public QObject {
    Q_OBJECT

    // A main window of 1024x768 started in Chinese and switched to
    // `language` through its menu, with every window open and the radio
    // information window showing what a real radio holds.
    struct Opened {
        SimRadio sim;   // COM1, so that the read/write window opens as Read opens it
        MainWindowFixture fx;
        QList<QWidget*> windows;
        static QByteArray portsOf(SimRadio& sim)
        {
            if (!sim.start())
                qFatal("cannot start the simulated radio");
            return "[ports]\r\ncom1=" + sim.devicePath().toUtf8() + "\r\n";
        }
        explicit Opened(int language) : fx(portsOf(sim))
        {
            MainWindow& f = *fx.form;
            f.resize(1024, 768);
            f.findChild<QAction*>(QLatin1String(LanguageItems[language - 1]))->trigger();
            RadioIdentity& id = *f.context().identity;
            id.model = QStringLiteral("MZ-209");
            id.band = QStringLiteral("400-470MHz");
            id.admin = QStringLiteral("Tavrin");
            id.user = QStringLiteral("ABCDEFG");
            id.factoryDate = QStringLiteral("2024-01-15  09:30:00");
            id.saleDate = QStringLiteral("2024-02-01  10:00:00");
            f.showRadioInfo();
            f.showAlignmentWindow();
            QVERIFY(f.readWriteDialog()->prepareCommand(1, f.state().text(17), f.readCaption()));
            f.readWriteDialog()->show();
            f.portWindow()->show();
            f.aboutBox()->show();
            windows = {&f, f.channelEditor(), f.optionsEditor(), f.readWriteDialog(), f.radioInfoWindow(),
                       f.portWindow(), f.alignmentWindow(), f.aboutBox()};
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        }
    };

private slots:
    void initTestCase()
    {
        QVERIFY2(!LanguageSwitch::qtTranslationName(1).isEmpty(), "no Qt translation name");
    }

    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("simplified") << 1;
        QTest::newRow("english") << 2;
        QTest::newRow("traditional") << 3;
    }

    void noTextIsCut_data() { languages_data(); }
    void noTextIsCut()
    {
        QFETCH(int, language);
        Opened o(language);
        QCOMPARE(o.fx.form->state().language, language);
        QStringList problems;
        for (QWidget* w : o.windows)
            for (const QString& p : cutTexts(w))
                problems << w->objectName() + QStringLiteral(" > ") + p;
        // The window area does not scroll: a window that hangs over its edge
        // hides its texts there as surely as a narrow label (cutTexts stops
        // at scroll areas). Every window open here fits in 1024x768.
        QMdiArea* area = o.fx.form->findChild<QMdiArea*>();
        QVERIFY(area);
        int shown = 0;
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (!sub->isVisible())
                continue;
            ++shown;
            if (!area->viewport()->rect().contains(sub->geometry()))
                problems << QStringLiteral("%1 at %2,%3 %4x%5 hangs over the window area of %6x%7")
                                .arg(sub->objectName()).arg(sub->x()).arg(sub->y())
                                .arg(sub->width()).arg(sub->height())
                                .arg(area->viewport()->width()).arg(area->viewport()->height());
        }
        QCOMPARE(shown, 4);
        // RQ300_SCREENSHOT_DIR=dir keeps a picture of every window, to look
        // at them as a user sees them (best under Xvfb with the xcb platform).
        const QString shots = qEnvironmentVariable("RQ300_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            for (QWidget* w : o.windows)
                w->grab().save(QDir(shots).filePath(QStringLiteral("%1-%2.png").arg(language).arg(w->objectName())));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

        // The factory date in full, not only as wide as the field's default.
        auto* date = o.fx.form->radioInfoWindow()->findChild<QLineEdit*>(QStringLiteral("Edit5"));
        QCOMPARE(date->text(), QStringLiteral("2024-01-15  09:30:00"));
    }

    // A first start on a screen of 1280x800: the channel table and the
    // optional features side by side, every label whole; the status bar
    // says how to begin until a file is opened; Help > Help is the guide.
    void firstStartShowsBothEditorsAndHowToBegin_data() { languages_data(); }
    void firstStartShowsBothEditorsAndHowToBegin()
    {
        QFETCH(int, language);
        MainWindowFixture fx(QStringLiteral("[Open]\r\nlang=%1\r\n").arg(language == 3 ? 3 : 1).toLatin1(), true,
                           language == 2 ? 0x0409 : 0x0804);
        MainWindow& f = *fx.form;
        QCOMPARE(f.state().language, language);
        f.resize(1280, 800);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        const QRect area = f.findChild<QMdiArea*>()->viewport()->rect();
        const QRect table = f.subWindowOf(f.channelEditor())->geometry();
        const QRect options = f.subWindowOf(f.optionsEditor())->geometry();
        QVERIFY2(!table.intersects(options) && area.contains(table) && area.contains(options),
                 qPrintable(QStringLiteral("table %1,%2 %3x%4, options %5,%6 %7x%8 in %9x%10")
                                .arg(table.x()).arg(table.y()).arg(table.width()).arg(table.height())
                                .arg(options.x()).arg(options.y()).arg(options.width()).arg(options.height())
                                .arg(area.width()).arg(area.height())));
        const QStringList cut = cutTexts(f.channelEditor()) + cutTexts(f.optionsEditor());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));

        const PackStrings& t = f.state().texts;
        const QString hint = f.statusText();
        for (const char* item : {"Window1", "WindowCascadeItem", "CutItem", "FileOpenItem"})
            QVERIFY2(hint.contains(f.commandText(item)), qPrintable(hint));
        QCOMPARE(hasHan(hint), language != 2);
        fx.prompter.files = {fx.dir.filePath("begun.kq19")};
        f.save();
        QCOMPARE(f.statusText(), hint);   // a save is no first step
        fx.prompter.files = {fx.dir.filePath("begun.kq19")};
        f.openDocument();
        QCOMPARE(f.statusText(), QStringLiteral("     ") + t.text(61));

        f.findChild<QAction*>("HelpAboutItem")->trigger();
        auto* guide = f.findChild<UserGuide*>();
        QVERIFY(guide && guide->isVisible());
        QCOMPARE(guide->windowTitle(), t.text(TextId::HelpCaption));
        const QString text = guide->plainText();
        QVERIFY2(!text.contains(QRegularExpression("%\\d")), qPrintable(text));
        QCOMPARE(hasHan(text), language != 2);
        for (int id : {TextId::HelpConnectTitle, TextId::HelpReadTitle, TextId::HelpEditTitle, TextId::HelpSaveTitle,
                       TextId::HelpWriteTitle, TextId::HelpBackupsTitle, TextId::HelpConfigTitle})
            QVERIFY2(text.contains(t.text(id)), qPrintable(t.text(id)));
        for (const QString& named : {f.commandText("CopyItem"), f.commandText("CompareItem"), f.iniPath(),
                                     QDir::toNativeSeparators(Backups::folder()), f.optionsEditor()->windowTitle(),
                                     QStringLiteral("Ctrl+W")})
            QVERIFY2(text.contains(named), qPrintable(named));
        // Open while the language changes, it changes with it.
        f.findChild<QAction*>(LanguageItems[language == 2 ? 0 : 1])->trigger();
        QCOMPARE(hasHan(guide->plainText()), language == 2);
    }

    void englishWindowsHoldNoChinese()
    {
        Opened o(2);
        MainWindow& f = *o.fx.form;
        QStringList chinese;
        for (QWidget* w : o.windows)
            for (const QString& t : visibleTexts(w))
                if (hasHan(t))
                    chinese << w->objectName() + QStringLiteral(": ") + t;
        // The menu names the Chinese languages in Chinese, and only those.
        const auto actions = f.findChildren<QAction*>();
        for (QAction* a : actions) {
            const QString n = a->objectName();
            if (hasHan(a->text()) && n != QLatin1String("N5") && n != QLatin1String("N7"))
                chinese << QStringLiteral("menu ") + n + QStringLiteral(": ") + a->text();
        }
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(u'\n')));
        QCOMPARE(f.radioInfoWindow()->findChild<QStatusBar*>()->currentMessage(),
                 QStringLiteral("  Administrator: Tavrin"));
        QCOMPARE(f.alignmentWindow()->windowTitle(), QStringLiteral("Alignment"));

        // Back in simplified Chinese every text is the built-in one again.
        f.useSimplifiedChinese();
        QCOMPARE(f.radioInfoWindow()->findChild<QStatusBar*>()->currentMessage(), QStringLiteral("  管理员：Tavrin"));
        QCOMPARE(f.alignmentWindow()->findChild<QPushButton*>(QStringLiteral("Button7"))->text(), QStringLiteral("调整SQL"));
        QCOMPARE(f.alignmentWindow()->windowTitle(), QStringLiteral("调试"));
    }

    void languageMenuIsOneChoiceNamedInItself_data() { languages_data(); }
    void languageMenuIsOneChoiceNamedInItself()
    {
        QFETCH(int, language);
        Opened o(language);
        MainWindow& f = *o.fx.form;
        const QStringList names = {QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("繁體中文")};
        QActionGroup* group = nullptr;
        for (int i = 0; i < 3; ++i) {
            QAction* a = f.findChild<QAction*>(QLatin1String(LanguageItems[i]));
            QCOMPARE(a->text(), names[i]);
            QVERIFY(a->isCheckable());
            QCOMPARE(a->isChecked(), i + 1 == language);
            QVERIFY(a->actionGroup());
            if (group)
                QCOMPARE(a->actionGroup(), group);
            group = a->actionGroup();
        }
        QVERIFY(group->isExclusive());
    }

    void fixedTextsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("password");
        QTest::newRow("simplified") << 1 << "警告" << "删除所有信道!" << "Communication Password Error !";
        QTest::newRow("english") << 2 << "Warning" << "Delete all channels!" << "Communication Password Error !";
        QTest::newRow("traditional") << 3 << "警告" << "刪除所有信道!" << "通信密碼錯誤 !";
    }

    void fixedTextsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(QString, question);
        QFETCH(QString, password);
        Opened o(language);
        MainWindow& f = *o.fx.form;
        f.channelEditor()->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
        QCOMPARE(o.fx.prompter.questions.size(), 1);
        QCOMPARE(o.fx.prompter.questions[0].caption, caption);
        QCOMPARE(o.fx.prompter.questions[0].text, question);

        // The password error names the field to correct, in the words of
        // the optional features window.
        const PackStrings& t = f.state().texts;
        const QString hint = t.text(TextId::PasswordHint);
        QVERIFY(hint.contains("%1") && hint.contains("%2"));
        QCOMPARE(t.text(TextId::PasswordError), password);
        QVERIFY(!t.text(202).isEmpty() && !t.text(20).isEmpty());
    }

    void qtStandardButtonsFollowTheLanguage()
    {
        // Qt's own box texts come from its translations once a language
        // applies, and switch back when another one does.
        MainWindowFixture fx;
        auto standardTexts = [] {
            QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
            QStringList texts;
            for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel})
                texts << box.button(b)->text().remove(u'&');
            return texts;
        };
        // The real question before work is lost, its buttons each with a letter.
        auto saveButtons = [] {
            QStringList texts;
            QTimer::singleShot(0, [&texts] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                for (auto b : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel})
                    texts << box->button(b)->text();
                box->button(QMessageBox::Cancel)->click();
            });
            Prompter real;
            return real.saveChanges(nullptr, "t", "q") == Prompter::SaveChoice::Cancel ? texts : QStringList();
        };
        fx.form->useSimplifiedChinese();
        const QStringList simplified = standardTexts();
        const QStringList simplifiedSave = saveButtons();
        fx.form->useEnglish();
        const QStringList english = standardTexts();
        QCOMPARE(saveButtons(), (QStringList{"&Save", "&Discard", "&Cancel"}));
        fx.form->useTraditionalChinese();
        const QStringList traditional = standardTexts();
        for (const QStringList& chinese : {simplifiedSave, saveButtons()}) {
            QCOMPARE(chinese.size(), 3);
            QVERIFY2(chinese[0].endsWith("(&S)") && chinese[1].endsWith("(&D)") && chinese[2].endsWith("(&C)")
                         && hasHan(chinese.join(QString())),
                     qPrintable(chinese.join(u'|')));
        }
        QCOMPARE(english, (QStringList{"Yes", "No", "OK", "Cancel"}));
        for (const QStringList& chinese : {simplified, traditional})
            for (const QString& text : chinese)
                QVERIFY2(hasHan(text), qPrintable(chinese.join(u'|')));
        QVERIFY2(simplified != traditional, qPrintable(simplified.join(u'|')));
        QVERIFY2(QCoreApplication::translate("QFileDialog", "Look in:") != QLatin1String("Look in:"),
                 "the file dialog stays English");
        // The file dialogs' type column, which Qt's translations leave English.
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("資料夾"));
        fx.form->useSimplifiedChinese();
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("文件夹"));
        fx.form->useEnglish();
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("Folder"));
    }
};

QTEST_MAIN(TestWindowTexts)
#include "test_windowtexts.moc"
