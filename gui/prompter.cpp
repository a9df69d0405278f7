#include "gui/prompter.h"

#include <QAbstractButton>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <utility>

#include "gui/mnemonic.h"

namespace {
Prompter g_default;
Prompter* g_active = &g_default;

QMessageBox::Icon boxIcon(Prompter::Icon i)
{
    switch (i) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Warning:
    case Prompter::Icon::Exclamation: return QMessageBox::Warning;
    case Prompter::Icon::Error: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// "TAVRIN  文件 (*.kq19)|*.kq19" -> "TAVRIN  文件 (*.kq19)": Qt takes the
// description with its pattern in brackets.
QString qtFilter(const QString& filter)
{
    return filter.section(u'|', 0, 0);
}

// Qt's file dialog opens small: at 1024x768 its places list cuts
// "Computer" and the dates lose their middle. It opens larger, its places
// list as wide as its names, and the size, type and date columns as wide as
// what they show once the folder has been read.
void fitFileDialog(QFileDialog& dlg)
{
    QSize size(800, 520);
    if (const QScreen* screen = dlg.screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dlg.resize(dlg.size().expandedTo(size));
    auto* places = dlg.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dlg.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (places && splitter && splitter->count() == 2) {
        const int need = places->sizeHintForColumn(0) + 2 * places->frameWidth()
                         + places->verticalScrollBar()->sizeHint().width();
        const int total = splitter->width() > need ? splitter->width() : dlg.width();
        splitter->setSizes({need, total - need});
    }
    auto* details = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dlg.findChild<QFileSystemModel*>();
    if (!details || !model)
        return;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, details, [details] {
        QHeaderView* header = details->header();
        for (int col = 1; col < header->count(); ++col)
            header->resizeSection(col, std::max({header->sectionSize(col), static_cast<const QAbstractItemView*>(details)->sizeHintForColumn(col),
                                                 header->sectionSizeHint(col)}));
    });
}
}

Prompter& Prompter::active() { return *g_active; }
void Prompter::install(Prompter* p) { g_active = p ? p : &g_default; }

void Prompter::message(QWidget* parent, const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Prompter::question(QWidget* parent, const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

Prompter::SaveChoice Prompter::saveChanges(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, caption, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    // Qt's own texts, in the active language, with a letter to press.
    for (const auto& [button, letter] : {std::pair{QMessageBox::Save, u'S'}, std::pair{QMessageBox::Discard, u'D'},
                                         std::pair{QMessageBox::Cancel, u'C'}})
        if (QAbstractButton* b = box.button(button))
            b->setText(Mnemonic::with(b->text(), QChar(letter)));
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

QString Prompter::openFile(QWidget* parent, const QString& title, const QString& filter)
{
    QFileDialog dlg(parent, title, QString(), qtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    fitFileDialog(dlg);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

QString Prompter::saveFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& defaultSuffix, const QString& start)
{
    int type = 0;
    return saveFileOfType(parent, title, {filter}, defaultSuffix, start, &type);
}

QString Prompter::saveFileOfType(QWidget* parent, const QString& title, const QStringList& types,
                                 const QString& defaultSuffix, const QString& start, int* type)
{
    QStringList filters;
    for (const QString& t : types)
        filters << qtFilter(t);
    QFileDialog dlg(parent, title, start);
    dlg.setNameFilters(filters);
    if (*type >= 0 && *type < filters.size())
        dlg.selectNameFilter(filters[*type]);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    // The caller asks before it replaces another file.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setDefaultSuffix(defaultSuffix);
    fitFileDialog(dlg);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    *type = std::max<int>(0, int(filters.indexOf(dlg.selectedNameFilter())));
    return dlg.selectedFiles().first();
}

bool Prompter::print(QWidget* parent, const QString& title, QPrinter& printer,
                     const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(title);
    // It opens too small for its own toolbar; a page wants most of the screen.
    if (const QScreen* screen = dlg.screen())
        dlg.resize(screen->availableGeometry().size() * 4 / 5);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, paint);
    return dlg.exec() == QDialog::Accepted;
}
