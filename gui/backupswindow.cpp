#include "gui/backupswindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "document/settingsdocument.h"
#include "files/backups.h"
#include "files/settingsfile.h"
#include "gui/prompter.h"
#include "app/appstate.h"
#include "base/textids.h"

BackupsWindow::BackupsWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("BackupsForm"));
    setModal(true);
    m_folder = new QLabel(this);
    m_folder->setObjectName(QStringLiteral("LabelFolder"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("BackupList"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_open = new QPushButton(this);
    m_open->setObjectName(QStringLiteral("ButtonOpen"));
    m_open->setDefault(true);
    m_close = new QPushButton(QStringLiteral("退 出"), this);
    m_close->setObjectName(QStringLiteral("ButtonClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_open);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_folder);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(720, 420);

    connect(m_open, &QPushButton::clicked, this, [this] {
        if (openSelected())
            accept();
    });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] {
        if (openSelected())
            accept();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    applyTexts(ctx.state->texts);
}

void BackupsWindow::applyTexts(const PackStrings& t)
{
    setWindowTitle(t.text(TextId::BackupsCaption));
    m_table->setHorizontalHeaderLabels({t.text(TextId::BackupsColumnTime), t.text(TextId::BackupsColumnUser),
                                        t.text(TextId::BackupsColumnBand), t.text(TextId::BackupsColumnFile)});
    m_open->setText(t.text(TextId::BackupsOpen));
    if (t.contains(WordId::Ok))
        m_close->setText(t.text(WordId::Ok));
}

void BackupsWindow::startCommand()
{
    refresh();
    exec();
}

void BackupsWindow::refresh()
{
    const QString dir = Backups::folder();
    const QList<Backups::Entry> entries = Backups::list(dir);
    m_table->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const Backups::Entry& e = entries[row];
        const QStringList cells = {e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.user,
                                   e.band.isEmpty() ? QStringLiteral("-") : e.band, QFileInfo(e.path).fileName()};
        for (int col = 0; col < cells.size(); ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            item->setData(Qt::UserRole, e.path);
            item->setToolTip(e.path);
            m_table->setItem(row, col, item);
        }
    }
    m_table->resizeColumnsToContents();
    if (!entries.isEmpty())
        m_table->selectRow(0);
    m_folder->setText(entries.isEmpty() ? Result::fail(TextId::BackupsEmpty, {dir}).text(m_ctx.state->texts) : dir);
    m_open->setEnabled(!entries.isEmpty());
}

int BackupsWindow::count() const
{
    return m_table->rowCount();
}

QString BackupsWindow::pathAt(int row) const
{
    const QTableWidgetItem* item = m_table->item(row, 0);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void BackupsWindow::selectRow(int row)
{
    m_table->selectRow(row);
}

bool BackupsWindow::openSelected()
{
    if (m_ctx.state->radioBusy())
        return false;
    const QString path = pathAt(m_table->currentRow());
    if (path.isEmpty())
        return false;
    const PackStrings& texts = m_ctx.state->texts;
    auto refuse = [&](const QString& why) {
        Prompter::active().message(this, texts.text(MsgId::Caption),
                                   Result::fail(TextId::BackupOpenFailed, {path, why}).text(texts),
                                   Prompter::Icon::Exclamation);
        return false;
    };
    // The calibration values belong to the alignment window, which opens them.
    if (!path.endsWith(QLatin1Char('.') + SettingsFile::Suffix))
        return refuse(QStringLiteral("*.m17"));
    const SettingsFile::ReadResult r = SettingsFile::read(path, m_ctx.doc->data(), m_ctx.doc->words());
    if (!r.ok())
        return refuse(r.problem(QFileInfo(path).fileName()).text(texts));
    m_ctx.doc->replace(r.data);
    emit loaded(r.caption);
    if (!r.notice)
        Prompter::active().message(this, texts.text(MsgId::Caption), r.notice.text(texts), Prompter::Icon::Warning);
    if (!r.imageWarning)
        Prompter::active().message(this, texts.text(MsgId::Caption), r.imageWarning.text(texts),
                                   Prompter::Icon::Exclamation);
    return true;
}
