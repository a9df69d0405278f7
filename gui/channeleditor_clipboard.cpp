// The channel editor's spreadsheet commands: copy, cut and paste of cells
// and rows as tab-separated text, insert, duplicate, delete and set for the
// selected channels.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "document/band.h"
#include "document/settingsdocument.h"
#include "files/channelclipboard.h"
#include "gui/channeleditor.h"
#include "gui/channelgrid.h"
#include "gui/channelmodel.h"
#include "gui/prompter.h"
#include "app/appcontext.h"
#include "app/appstate.h"
#include "base/result.h"
#include "base/textids.h"

namespace {
const QString Caption = QStringLiteral("RQ-300");
}

QString ChannelEditor::columnName(int col) const
{
    return m_model->headers().value(col);
}

bool ChannelEditor::beginCommand()
{
    if (!finishPendingEdit())
        return false;
    // What came before is a step of its own, even within one event.
    m_ctx.doc->checkpoint();
    return true;
}

QList<int> ChannelEditor::selectedRows() const
{
    const ChannelGrid::Block b = m_grid->selectedBlock();
    QList<int> rows;
    if (b.r1 == b.r2) {
        rows << editRow();
    } else {
        for (int r = b.r1; r <= b.r2; ++r)
            rows << r;
    }
    return rows;
}

void ChannelEditor::refuse(int textId, const QStringList& args)
{
    Prompter::active().message(this, Caption, Result::fail(textId, args).text(m_ctx.state->texts),
                               Prompter::Icon::Exclamation);
}

void ChannelEditor::copyCells()
{
    if (!beginCommand())
        return;
    const ChannelGrid::Block b = m_grid->selectedBlock();
    QApplication::clipboard()->setText(ChannelClipboard::copy(m_ctx.doc->data(), b.r1, b.r2, b.c1, b.c2, words(), separator()));
}

void ChannelEditor::cutCells()
{
    if (!beginCommand())
        return;
    const ChannelGrid::Block b = m_grid->selectedBlock();
    QApplication::clipboard()->setText(ChannelClipboard::copy(m_ctx.doc->data(), b.r1, b.r2, b.c1, b.c2, words(), separator()));
    for (int r = b.r1; r <= b.r2; ++r) {
        // Without its receive frequency the channel is gone; any other cell
        // goes back to what a new channel has.
        if (b.c1 == 1 || !channelExists(r)) {
            m_ctx.doc->clearChannel(r);
            continue;
        }
        for (int c = b.c1; c <= b.c2; ++c)
            setCell(r, c, ChannelClipboard::newChannelValue(c, words()));
    }
}

void ChannelEditor::pasteCells()
{
    pasteText(QApplication::clipboard()->text());
}

bool ChannelEditor::pasteText(const QString& text)
{
    if (!beginCommand())
        return false;
    using Problem = ChannelClipboard::PasteResult::Problem;
    const ChannelGrid::Block b = m_grid->selectedBlock();
    const ChannelClipboard::PasteResult res =
        ChannelClipboard::paste(m_ctx.doc->data(), b.r1, b.c1, text, words(), separator());
    const QString value = res.text;
    QString why;
    switch (res.problem) {
    case Problem::None: {
        for (int r = b.r1; r < b.r1 + res.rows; ++r)
            m_ctx.doc->setChannel(r, res.data.channel(r));
        m_grid->selectRows(b.r1, b.r1 + res.rows - 1);
        return true;
    }
    case Problem::Empty:
        return false;
    case Problem::DoesNotFit:
        refuse(TextId::PasteDoesNotFit, {QString::number(res.rows), QString::number(res.cols),
                                         QString::number(res.row)});
        return false;
    case Problem::NoBand:
        why = Result::fail(TextId::PasteNoBand, {value}).text(m_ctx.state->texts);
        break;
    case Problem::NoChannel:
        why = Result::fail(TextId::PasteNoChannel, {value}).text(m_ctx.state->texts);
        break;
    case Problem::BadValue: {
        const ValueWords& w = words();
        const int c = res.col;
        if (c == 1 || c == 3)
            why = Result::fail(TextId::PasteBadFrequency, {value, m_ctx.doc->selectedBand()}).text(m_ctx.state->texts);
        else if (c == 2 || c == 4)
            why = Result::fail(TextId::PasteBadTone, {value, w.off}).text(m_ctx.state->texts);
        else {
            const QStringList allowed = c == 5 ? QStringList{w.high, w.low}
                                      : c == 6 ? QStringList{w.wide, w.narrow}
                                      : c == 10 ? QStringList{w.off, w.on, w.comp, w.scrambler}
                                                : QStringList{w.off, w.on};
            why = Result::fail(TextId::PasteBadWord, {value, allowed.join(QStringLiteral(", "))})
                      .text(m_ctx.state->texts);
        }
        break;
    }
    }
    refuse(TextId::PasteRefused, {QString::number(res.row), columnName(res.col), why});
    return false;
}

void ChannelEditor::deleteSelectedChannels()
{
    hideEditors();
    m_ctx.doc->checkpoint();
    for (int r : selectedRows())
        if (r >= 1 && r <= DocumentData::ChannelCount)
            m_ctx.doc->clearChannel(r);
    m_frequencyPending = false;
    m_before.col = -1;
}

void ChannelEditor::insertChannel()
{
    if (!beginCommand())
        return;
    const int r = editRow();
    if (!m_ctx.doc->insertChannel(r))
        refuse(TextId::InsertRefused, {});
    m_grid->setSelectedCell(1, r);
    setEditCell(1, r);
}

void ChannelEditor::duplicateChannel()
{
    if (!beginCommand())
        return;
    const int r = editRow();
    if (!channelExists(r))
        return;
    if (!m_ctx.doc->duplicateChannel(r)) {
        refuse(TextId::DuplicateRefused, {});
        return;
    }
    m_grid->setSelectedCell(editCol(), r + 1);
    setEditCell(editCol(), r + 1);
}

void ChannelEditor::setSelectedChannels(int col, const QString& word)
{
    if (col < 5 || col > 11 || !beginCommand())
        return;
    for (int r : selectedRows())
        if (channelExists(r))
            setCell(r, col, word);
}
