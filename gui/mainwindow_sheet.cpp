// File > Print and File > Export PDF: the channel sheet of the document, for
// the printer or a PDF file. The sheet itself is laid out in the core
// (sheet/channelsheet.h), which the command-line tool shares.
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include "app/appstate.h"
#include "base/result.h"
#include "base/textids.h"
#include "document/settingsdocument.h"
#include "gui/channeleditor.h"
#include "gui/mainwindow.h"
#include "gui/prompter.h"
#include "radio/identity.h"
#include "sheet/channelsheet.h"

namespace {
const QString PdfFilter = QStringLiteral("PDF (*.pdf)|*.pdf");
const QString ErrorCaption = QStringLiteral("RQ-300");
}

void MainWindow::rememberRead()
{
    m_lastRead = {QStringLiteral("COM%1").arg(m_state->chosenPort), QDateTime::currentDateTime()};
}

ChannelSheet MainWindow::channelSheet() const
{
    SheetSource source;
    const QString path = m_doc->filePath();
    if (!path.isEmpty()) {
        source.fileName = QFileInfo(path).fileName();
    } else if (!m_lastRead.port.isEmpty()) {
        // The radio's own names, as the read found them in its identity
        // records; a record it did not fill says nothing.
        const auto known = [](const QString& v) { return v == RadioIdentity::Unfilled ? QString() : v.trimmed(); };
        source.port = m_lastRead.port;
        source.readAt = m_lastRead.at;
        source.user = known(m_ctx.identity->user);
        source.admin = known(m_ctx.identity->admin);
    }
    return ChannelSheet(m_doc->data(), m_state->texts, m_doc->decimalSeparator(), source,
                        QDateTime::currentDateTime());
}

void MainWindow::printSheet()
{
    if (!m_channel->finishPendingEdit())
        return;
    const ChannelSheet sheet = channelSheet();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheet.pageLayout(ChannelSheet::localePaper()));
    printer.setDocName(sheet.title());
    // The preview draws the page as often as it likes; what counts is the
    // last drawing, the one on the printer.
    bool drawn = false;
    const bool printed = Prompter::active().print(this, commandText("PrintItem"), printer,
                                                  [&sheet, &drawn](QPrinter* p) { drawn = sheet.paint(*p); });
    if (!printed)
        return;
    const QString where = printer.outputFileName().isEmpty() ? printer.printerName()
                                                             : QDir::toNativeSeparators(printer.outputFileName());
    if (!drawn) {
        Prompter::active().message(this, ErrorCaption, Result::fail(TextId::SheetCannotPrint, {where}).text(m_state->texts),
                                   Prompter::Icon::Error);
        return;
    }
    showStatus(Result::fail(TextId::SheetSentToPrinter, {where}).text(m_state->texts));
}

void MainWindow::exportPdf()
{
    if (!m_channel->finishPendingEdit())
        return;
    const QString path = askExportPath("ExportPdfItem", {PdfFilter}, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    const Result saved = channelSheet().savePdf(path);
    if (!saved) {
        Prompter::active().message(this, ErrorCaption, saved.text(m_state->texts), Prompter::Icon::Error);
        return;
    }
    showStatus(Result::fail(TextId::SheetSaved, {QDir::toNativeSeparators(path)}).text(m_state->texts));
}
