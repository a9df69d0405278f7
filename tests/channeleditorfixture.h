#pragma once
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "app/appcontext.h"
#include "app/appstate.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/channelgrid.h"
#include "scriptedprompter.h"

// A channel editor on its own, over a document with the band "400-470MHz"
// selected and the given decimal separator.
struct ChannelEditorFixture {
    SettingsDocument doc;
    AppState state;
    AppContext ctx;
    ScriptedPrompter prompter;
    std::unique_ptr<ChannelEditor> window;

    explicit ChannelEditorFixture(QChar sep = u'.')
    {
        ctx.doc = &doc;
        ctx.state = &state;
        doc.setDecimalSeparator(sep);
        doc.setBandList({QStringLiteral("400-470MHz"), QStringLiteral("400-430MHz")});
        doc.setChoice(Key::Band, 0);
        window = std::make_unique<ChannelEditor>(ctx);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
    }

    ChannelGrid* grid() const { return window->grid(); }
    QLineEdit* edit1() const { return window->findChild<QLineEdit*>(QStringLiteral("Edit1")); }
    QLineEdit* edit3() const { return window->findChild<QLineEdit*>(QStringLiteral("Edit3")); }
    QComboBox* combo1() const { return window->findChild<QComboBox*>(QStringLiteral("ComboBox1")); }
    QString cell(int r, int c) const { return doc.cell(r, c); }

    void click(int c, int r)
    {
        grid()->scrollTo(grid()->model()->index(r - 1, c));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->cellRect(c, r).center());
    }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // Lets queued work (the editors' position check after a repaint) run.
    void settle() { QTest::qWait(20); }

    // A committed channel as the editor would have made it.
    void putChannel(int r, const QString& rx, const QString& tx = {})
    {
        const ValueWords& w = doc.words();
        const QString cells[] = {rx, w.off, tx.isEmpty() ? rx : tx, w.off, w.high, w.wide,
                                 w.on, w.off, w.on, w.off, w.off};
        for (int c = 1; c <= 11; ++c)
            doc.setCell(r, c, cells[c - 1]);
    }
    // Types a new receive frequency on an empty or existing channel row.
    void enterFrequency(int r, const QString& typed, int col = 1)
    {
        click(col, r);
        QTest::keyClick(grid(), typed.at(0).toLatin1());
        type(typed.mid(1));
        key(Qt::Key_Return);
    }
};
