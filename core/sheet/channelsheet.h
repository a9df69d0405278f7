#pragma once
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <utility>

#include "base/result.h"

class DocumentData;
class PackStrings;
class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

// Where the document on a sheet came from, as its title block says it.
struct SheetSource {
    QString fileName;    // the settings file; empty for a read or an untitled document
    QString port;        // "COM1": read from the radio on that port, into no file
    QDateTime readAt;    // when that read was
    QString user;        // the radio's user name; empty when not known
    QString admin;       // the administrator name in the radio; empty when not known
};

// The channel sheet: one page that says what each channel of a radio is, for
// a dealer to hand out and an owner to keep in the radio's case. A title
// block (model, band, where the document came from, user and administrator,
// when it was printed), the channels in use as the channel table shows them
// under its own column captions, and the optional features with the options
// window's captions and entries in its order, all in the language of the
// texts given. It paints onto any paged device, so the same page goes to a
// PDF file here and to a printer in the window program; fonts need a
// QGuiApplication (the offscreen platform serves without a display).
class ChannelSheet {
public:
    ChannelSheet(const DocumentData& d, const PackStrings& texts, QChar separator, const SheetSource& source,
                 const QDateTime& printedAt);

    // The paper of the system's locale: Letter where US measures are used,
    // A4 elsewhere.
    static QPageSize localePaper();
    // The page on `paper`: upright, or across where upright would need
    // letters too small to read.
    QPageLayout pageLayout(const QPageSize& paper) const;
    // Paints the sheet on the device's current page in the largest letters
    // that fit it. False when the device cannot be painted on.
    bool paint(QPagedPaintDevice& device) const;
    // The sheet as a PDF on `paper`, its fonts embedded.
    QByteArray pdf(const QPageSize& paper) const;
    // The PDF on the locale's paper, through the one file writer: the old
    // file stays unless the new one is complete.
    Result savePdf(const QString& path) const;

    // "Channel sheet MZ-209 400-470MHz", for the PDF's and the print job's title.
    QString title() const;

private:
    struct Fit;
    // Lays the sheet out `width` device units wide with `points` as the size
    // of its letters and returns the height it takes; paints it too when
    // `p` is given.
    double layOut(QPainter* p, const QPaintDevice& device, double width, double points) const;
    // The largest size of letters at which the sheet fits the device's page.
    Fit bestFit(const QPaintDevice& device) const;
    QFont font(double points, bool bold = false) const;

    QString m_heading;
    QString m_printed;                          // label and date printed
    QStringList m_facts;                        // "Model: MZ-209", "Band: ...", "Source: ..."
    QStringList m_people;                       // user and administrator, when known
    QString m_channelsHeading;
    QStringList m_columns;                      // the channel table's captions
    QList<QStringList> m_rows;                  // the channels in use, cell by cell
    QString m_noChannels;
    QString m_optionsHeading;
    QList<std::pair<QString, QString>> m_options;   // caption, value
    QString m_family;                           // a font that has every character shown
    QString m_title;
};
