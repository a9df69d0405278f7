#include "gui/languageswitch.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QLibraryInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTranslator>
#include <iterator>
#include <memory>

namespace LanguageSwitch {

namespace {
std::unique_ptr<QTranslator> g_installed;

// An editor window's system menu takes its texts once, when the window is
// made, and keeps them through a change of language: give them again, in
// the order Qt builds the menu.
void retranslateSystemMenus()
{
    static const char* const items[] = {"&Restore", "&Move", "&Size", "Mi&nimize",
                                        "Ma&ximize", "Stay on &Top", "&Close"};
    const auto widgets = QApplication::allWidgets();
    for (QWidget* w : widgets) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w);
        if (!sub || !sub->systemMenu())
            continue;
        int i = 0;
        const auto actions = sub->systemMenu()->actions();
        for (QAction* a : actions) {
            if (a->isSeparator())
                continue;
            if (i == int(std::size(items)))
                break;
            a->setText(QCoreApplication::translate("QMdiSubWindow", items[i++]));
        }
    }
}
}

void growWithTexts(QWidget* window)
{
    // A layout keeps the sizes its widgets last asked for until the event
    // loop tells it otherwise; ask every one again now.
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets)
        w->updateGeometry();
    const auto layouts = window->findChildren<QLayout*>();
    for (QLayout* l : layouts)
        l->invalidate();
    if (window->layout()) {
        window->layout()->invalidate();
        window->layout()->activate();
    }
    const QSize need = window->sizeHint().expandedTo(window->minimumSizeHint());
    const QSize grow = (need - window->size()).expandedTo(QSize(0, 0));
    if (grow.isNull())
        return;
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (sub)
        sub->resize(sub->size() + grow);
    else
        window->resize(window->size() + grow);
}

QString qtTranslationName(int language)
{
    switch (language) {
    case 1: return QStringLiteral("qtbase_zh_CN");
    case 2: return QStringLiteral("qtbase_en");
    case 3: return QStringLiteral("qtbase_zh_TW");
    default: return {};
    }
}

bool applyQtTranslation(int language)
{
    if (g_installed) {
        QCoreApplication::removeTranslator(g_installed.get());
        g_installed.reset();
    }
    const QString name = qtTranslationName(language);
    auto translator = std::make_unique<QTranslator>();
    const bool loaded =
        !name.isEmpty() && translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        QCoreApplication::installTranslator(translator.get());
        g_installed = std::move(translator);
    }
    retranslateSystemMenus();
    return loaded;
}

}
