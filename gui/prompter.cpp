#include "gui/prompter.h"

#include <QFileDialog>
#include <QMessageBox>

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
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

QString Prompter::openFile(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), qtFilter(filter));
}

QString Prompter::saveFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& defaultSuffix, const QString& start)
{
    QFileDialog dlg(parent, title, start, qtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    // The caller asks before it replaces another file.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}
