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

// Qt's Chinese translations lack the kinds the file dialogs show in their
// type column ("Folder"); these few come from here, after Qt's own.
class FileKindTexts : public QTranslator {
public:
    explicit FileKindTexts(int language) : m_traditional(language == 3) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const char* const kinds[][3] = {{"Folder", "文件夹", "資料夾"},
                                               {"Drive", "驱动器", "磁碟機"},
                                               {"Shortcut", "快捷方式", "捷徑"},
                                               {"Unknown", "未知", "未知"}};
        for (const auto& k : kinds)
            if (qstrcmp(source, k[0]) == 0)
                return QString::fromUtf8(k[m_traditional ? 2 : 1]);
        return {};
    }

private:
    bool m_traditional;
};
std::unique_ptr<QTranslator> g_fileKinds;

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
    for (std::unique_ptr<QTranslator>* t : {&g_installed, &g_fileKinds}) {
        if (*t) {
            QCoreApplication::removeTranslator(t->get());
            t->reset();
        }
    }
    const QString name = qtTranslationName(language);
    auto translator = std::make_unique<QTranslator>();
    const bool loaded =
        !name.isEmpty() && translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        QCoreApplication::installTranslator(translator.get());
        g_installed = std::move(translator);
    }
    if (language == 1 || language == 3) {
        g_fileKinds = std::make_unique<FileKindTexts>(language);
        QCoreApplication::installTranslator(g_fileKinds.get());
    }
    retranslateSystemMenus();
    return loaded;
}

}
