#include "channelsheet.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "base/packstrings.h"
#include "base/textids.h"
#include "document/channeltext.h"
#include "document/documentdata.h"
#include "document/optioncaptions.h"
#include "document/optionlists.h"
#include "document/settingkeys.h"
#include "files/filesave.h"

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm");
// Upright paper is kept while the letters stay this large; below it the
// page turns across. 32 channels fit upright on A4 and Letter at 9 points.
constexpr double MinUprightPoints = 8.0;
constexpr double LargestPoints = 11.0;
constexpr double SmallestPoints = 5.0;
constexpr double MarginMm = 12.0;
// A cell wider than this many digits is cut short with an ellipsis: a text
// kept in a cell must not squeeze the whole table into tiny letters.
constexpr int WidestCellDigits = 12;

const QColor Rule(150, 150, 150);
const QColor HeaderFill(225, 225, 225);
const QColor StripeFill(243, 243, 243);
const QColor LabelInk(70, 70, 70);

// A font that has the Chinese characters when the sheet shows any, so that
// every glyph of the page comes from one face that holds it, and the PDF
// embeds that face rather than boxes; the system's own face otherwise.
QString familyFor(const QStringList& texts)
{
    const bool han = std::any_of(texts.cbegin(), texts.cend(), [](const QString& t) {
        return std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.script() == QChar::Script_Han; });
    });
    if (!han)
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    for (auto system : {QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese})
        for (const QString& family : QFontDatabase::families(system))
            if (!QFontDatabase::isFixedPitch(family))
                return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

// The widest word of a caption: a column may wrap its caption between
// words, never inside one.
double widestWord(const QFontMetricsF& fm, const QString& text)
{
    double w = 0;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
        w = std::max(w, fm.horizontalAdvance(word));
    return w;
}

}

struct ChannelSheet::Fit {
    double points;
    bool fits;
};

ChannelSheet::ChannelSheet(const DocumentData& d, const PackStrings& texts, QChar separator,
                           const SheetSource& source, const QDateTime& printedAt)
{
    const auto labelled = [&texts](const QString& label, const QString& value) {
        return Result::fail(TextId::SheetLabelValue, {label, value}).text(texts);
    };
    m_heading = texts.text(TextId::SheetTitle);
    m_printed = labelled(texts.text(TextId::SheetPrintedAt), printedAt.toString(DateFormat));

    const QString model = d.choiceText(Key::Model, texts);
    const QString band = d.band();
    if (!model.isEmpty())
        m_facts << labelled(texts.text(WordId::Model), model);
    if (!band.isEmpty())
        m_facts << labelled(texts.text(WordId::Band), band);
    QString from = texts.text(TextId::Untitled);
    if (!source.fileName.isEmpty())
        from = source.fileName;
    else if (!source.port.isEmpty())
        from = Result::fail(TextId::SheetReadFrom, {source.port, source.readAt.toString(DateFormat)}).text(texts);
    m_facts << labelled(texts.text(TextId::SheetSource), from);
    if (!source.user.isEmpty())
        m_people << labelled(texts.text(WordId::User), source.user);
    if (!source.admin.isEmpty())
        m_people << labelled(texts.text(WordId::Administrator), source.admin);
    m_title = QStringList{m_heading, model, band}.join(u' ').simplified();

    const ValueWords words = texts.words();
    for (int col = 0; col < DocumentData::Cols; ++col)
        m_columns << ChannelText::columnCaption(col, texts);
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        if (!d.channelExists(row))
            continue;
        QStringList cells;
        for (int col = 0; col < DocumentData::Cols; ++col)
            cells << ChannelText::cell(d, row, col, words, separator);
        m_rows << cells;
    }
    m_channelsHeading = Result::fail(TextId::SheetChannels, {QString::number(m_rows.size())}).text(texts);
    m_noChannels = texts.text(TextId::SheetNoChannels);

    // The options window's settings in its order. The passwords stay off a
    // page that is handed out and kept in the radio's case, and so does
    // what the window keeps out of sight; the lease's three numbers are
    // one value under the lease group's caption.
    m_optionsHeading = texts.text(WordId::OptionalFeatures);
    const QString unknown = texts.text(TextId::ValueUnknown);
    const auto caption = [&texts](const FuncCaption* c) {
        return c ? FuncCaptions::text(*c, texts, QString::fromUtf8(c->builtIn)) : QString();
    };
    const QStringList secret = {Key::Password, Key::NewPassword, Key::WriteNewPassword};
    for (const FuncCaption& c : FuncCaptions::all()) {
        if (c.key.isEmpty() || !c.shown || secret.contains(c.key) || c.key == Key::LeaseHours
            || c.key == Key::LeaseMinutes)
            continue;
        const QString label = caption(&c);
        if (c.key == Key::LeaseDays) {
            QStringList parts;
            for (const QString& key : {Key::LeaseDays, Key::LeaseHours, Key::LeaseMinutes})
                parts << QString::number(d.number(key)) + u' ' + caption(FuncCaptions::forKey(key));
            m_options.append({caption(FuncCaptions::find(QStringLiteral("GroupBox11"))),
                              d.carries(c.key) ? parts.join(u' ') : unknown});
        } else if (!d.carries(c.key)) {
            m_options.append({label, unknown});
        } else if (OptionLists::choiceKeys().contains(c.key)) {
            m_options.append({label, d.choiceText(c.key, texts)});
        } else if (d.textKeys().contains(c.key)) {
            m_options.append({label, d.text(c.key)});
        } else {
            m_options.append({label, d.flag(c.key) ? words.on : words.off});
        }
    }

    QStringList shown = {m_heading, m_printed, m_channelsHeading, m_noChannels, m_optionsHeading};
    shown << m_facts << m_people << m_columns;
    for (const QStringList& cells : m_rows)
        shown << cells;
    for (const auto& [label, value] : m_options)
        shown << label << value;
    m_family = familyFor(shown);
}

QString ChannelSheet::title() const
{
    return m_title;
}

QPageSize ChannelSheet::localePaper()
{
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                       : QPageSize::A4);
}

QFont ChannelSheet::font(double points, bool bold) const
{
    QFont f(m_family);
    f.setStyleHint(QFont::SansSerif);
    // No ligatures: the PDF's text is searched and copied, and "Off" drawn
    // as an ff ligature is no longer found as "Off".
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QPageLayout ChannelSheet::pageLayout(const QPageSize& paper) const
{
    const QMarginsF margins(MarginMm, MarginMm, MarginMm, MarginMm);
    const QPageLayout upright(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter);
    const QPageLayout across(paper, QPageLayout::Landscape, margins, QPageLayout::Millimeter);
    // Measured on a PDF page of that size: the letters' widths scale with
    // the resolution, so any device lays the page out alike.
    QBuffer scratch;
    QPdfWriter probe(&scratch);
    probe.setPageLayout(upright);
    const Fit portrait = bestFit(probe);
    if (portrait.fits && portrait.points >= MinUprightPoints)
        return upright;
    probe.setPageLayout(across);
    const Fit landscape = bestFit(probe);
    return landscape.points > portrait.points ? across : upright;
}

ChannelSheet::Fit ChannelSheet::bestFit(const QPaintDevice& device) const
{
    for (double points = LargestPoints; points >= SmallestPoints; points -= 0.5)
        if (layOut(nullptr, device, device.width(), points) <= device.height())
            return {points, true};
    return {SmallestPoints, false};
}

bool ChannelSheet::paint(QPagedPaintDevice& device) const
{
    const Fit fit = bestFit(device);
    QPainter p;
    if (!p.begin(&device))
        return false;
    layOut(&p, device, device.width(), fit.points);
    return p.end();
}

QByteArray ChannelSheet::pdf(const QPageSize& paper) const
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&out);
        writer.setPageLayout(pageLayout(paper));
        writer.setTitle(m_title);
        writer.setCreator(QStringLiteral("rq300"));
        if (!paint(writer))
            return {};
    }
    return out.data();
}

Result ChannelSheet::savePdf(const QString& path) const
{
    return FileSave::save(path, pdf(localePaper()));
}

double ChannelSheet::layOut(QPainter* p, const QPaintDevice& device, double width, double points) const
{
    constexpr double Unfit = std::numeric_limits<double>::infinity();
    const double pt = device.logicalDpiY() / 72.0;   // device units per point
    const double em = points * pt;
    const QFont body = font(points);
    const QFont bold = font(points, true);
    const QFontMetricsF fm(body, &device);
    const QFontMetricsF fmBold(bold, &device);
    double y = 0;

    const auto text = [p](const QFont& f, const QRectF& r, int flags, const QString& s, const QColor& ink = Qt::black) {
        if (!p)
            return;
        p->setFont(f);
        p->setPen(ink);
        p->drawText(r, flags, s);
    };

    // Title block: the heading with the date printed at its right, then
    // what the document is and whose radio it is, as many to a line as fit.
    const QFont titleFont = font(points * 1.6, true);
    const QFontMetricsF fmTitle(titleFont, &device);
    text(titleFont, QRectF(0, y, width, fmTitle.height()), Qt::AlignLeft | Qt::AlignVCenter, m_heading);
    text(body, QRectF(0, y, width, fmTitle.height()), Qt::AlignRight | Qt::AlignVCenter, m_printed);
    y += fmTitle.height() + 0.3 * em;
    const double spacing = 2 * fm.horizontalAdvance(u'M');
    for (const QStringList& line : {m_facts, m_people}) {
        if (line.isEmpty())
            continue;
        double x = 0;
        for (const QString& item : line) {
            const double w = std::min(fm.horizontalAdvance(item), width);
            if (x > 0 && x + w > width) {
                x = 0;
                y += fm.lineSpacing();
            }
            text(body, QRectF(x, y, w, fm.height()), Qt::AlignLeft, fm.elidedText(item, Qt::ElideRight, w));
            x += w + spacing;
        }
        y += fm.lineSpacing();
    }
    y += 0.3 * em;
    if (p) {
        p->setPen(QPen(Rule, 0.75 * pt));
        p->drawLine(QPointF(0, y), QPointF(width, y));
    }
    y += 0.7 * em;

    // The channels, under the channel table's captions; a caption may take
    // two lines, a cell keeps to one.
    const QFont headingFont = font(points * 1.15, true);
    const QFontMetricsF fmHeading(headingFont, &device);
    text(headingFont, QRectF(0, y, width, fmHeading.height()), Qt::AlignLeft, m_channelsHeading);
    y += fmHeading.lineSpacing() + 0.2 * em;

    const double padX = 0.45 * em;
    const double padY = 0.22 * em;
    const double widestCell = fm.horizontalAdvance(QString(WidestCellDigits, u'0'));
    const int cols = int(m_columns.size());
    QList<double> widths(cols, 0.0);
    for (int c = 0; c < cols; ++c) {
        double w = widestWord(fmBold, m_columns[c]);
        for (const QStringList& cells : m_rows)
            w = std::max(w, std::min(fm.horizontalAdvance(cells[c]), widestCell));
        widths[c] = w + 2 * padX;
    }
    const double natural = std::accumulate(widths.cbegin(), widths.cend(), 0.0);
    if (natural > width)
        return Unfit;
    for (double& w : widths)
        w += (width - natural) / cols;
    double headerHeight = 0;
    for (int c = 0; c < cols; ++c)
        headerHeight = std::max(headerHeight, fmBold.boundingRect(QRectF(0, 0, widths[c] - 2 * padX, 1e9),
                                                                   Qt::TextWordWrap | Qt::AlignHCenter, m_columns[c])
                                                  .height());
    headerHeight += 2 * padY;
    const double rowHeight = fm.height() + 2 * padY;
    const double tableTop = y;
    if (p)
        p->fillRect(QRectF(0, y, width, headerHeight), HeaderFill);
    double x = 0;
    for (int c = 0; c < cols; ++c) {
        text(bold, QRectF(x + padX, y, widths[c] - 2 * padX, headerHeight), Qt::TextWordWrap | Qt::AlignCenter,
             m_columns[c]);
        x += widths[c];
    }
    y += headerHeight;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (p && r % 2 == 1)
            p->fillRect(QRectF(0, y, width, rowHeight), StripeFill);
        x = 0;
        for (int c = 0; c < cols; ++c) {
            const double inner = widths[c] - 2 * padX;
            text(body, QRectF(x + padX, y, inner, rowHeight), Qt::AlignCenter,
                 fm.elidedText(m_rows[r][c], Qt::ElideRight, inner));
            x += widths[c];
        }
        y += rowHeight;
    }
    if (p) {
        p->setPen(QPen(Rule, 0.5 * pt));
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRectF(0, tableTop, width, y - tableTop));
        p->drawLine(QPointF(0, tableTop + headerHeight), QPointF(width, tableTop + headerHeight));
        x = 0;
        for (int c = 0; c + 1 < cols; ++c) {
            x += widths[c];
            p->drawLine(QPointF(x, tableTop), QPointF(x, y));
        }
    }
    if (m_rows.isEmpty()) {
        text(body, QRectF(0, y + padY, width, fm.height()), Qt::AlignLeft, m_noChannels);
        y += rowHeight;
    }
    y += 0.9 * em;

    // The optional features: caption and value side by side, in as many
    // columns as fit (at most three), read down each column as the options
    // window is read.
    text(headingFont, QRectF(0, y, width, fmHeading.height()), Qt::AlignLeft, m_optionsHeading);
    y += fmHeading.lineSpacing() + 0.2 * em;
    double labelWidth = 0;
    double valueWidth = 0;
    for (const auto& [label, value] : m_options) {
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(label));
        valueWidth = std::max(valueWidth, fmBold.horizontalAdvance(value));
    }
    const double gap = fm.horizontalAdvance(u'M');
    const double columnGap = 2.5 * gap;
    const double pairWidth = labelWidth + gap + valueWidth;
    int columns = 3;
    while (columns > 1 && columns * pairWidth + (columns - 1) * columnGap > width)
        --columns;
    const double columnWidth = (width - (columns - 1) * columnGap) / columns;
    const double labelRoom = std::min(labelWidth, columnWidth * 0.6);
    const int perColumn = int(std::ceil(double(m_options.size()) / columns));
    const double lineHeight = fm.lineSpacing() * 1.2;
    for (int i = 0; i < m_options.size(); ++i) {
        const double left = (i / perColumn) * (columnWidth + columnGap);
        const double top = y + (i % perColumn) * lineHeight;
        const auto& [label, value] = m_options[i];
        text(body, QRectF(left, top, labelRoom, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             fm.elidedText(label, Qt::ElideRight, labelRoom), LabelInk);
        const double valueRoom = columnWidth - labelRoom - gap;
        text(bold, QRectF(left + labelRoom + gap, top, valueRoom, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             fmBold.elidedText(value, Qt::ElideRight, valueRoom));
    }
    y += perColumn * lineHeight;
    return y;
}
