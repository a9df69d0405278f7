#include "writecheck.h"

#include "codecs.h"
#include "document/band.h"
#include "document/channeltext.h"
#include "document/documentdata.h"
#include "document/frequency.h"
#include "document/settingkeys.h"
#include "document/valuenames.h"
#include "identity.h"
#include "base/textids.h"

namespace WriteCheck {

namespace {

// A frequency cell as the radio would get it: within the selected band and
// on the raster, the rule the channel editor and the CSV import apply.
Result checkFrequency(const QString& cell, int row, int col, const QString& band, QChar sep)
{
    // A file made under the other decimal separator still holds good values.
    QString text = cell;
    text.replace(sep == u'.' ? u',' : u'.', sep);
    if (Frequency::isCommitted(text, band, sep))
        return Result::success();
    // The column is named in the active language, after the other values.
    const QStringList values = {QString::number(row), cell, band};
    const Result column = Result::named(ValueNames::columnId(col));
    const std::optional<double> mhz = Frequency::parse(text, sep);
    if (mhz && (*mhz < Band::lower(band) || *mhz > Band::upper(band)))
        return Result::because(TextId::FrequencyOutOfBand, column, values);
    return Result::because(TextId::FrequencyOffRaster, column, values);
}

// The single problem of a failure, or each of a list; none for success.
QList<Result> each(const Result& r)
{
    if (r.ok())
        return {};
    if (r.textId == TextId::LineList)
        return QList<Result>(r.details.cbegin(), r.details.cend());
    return {r};
}

Result setting(int nameId, const Result& why)
{
    return Result::fail(TextId::NamedValueProblem, {}, {Result::named(nameId), why});
}

}

QList<Result> problems(const DocumentData& data, QChar sep, int channelCount,
                       const RadioIdentity& identity, const QString& adminName)
{
    QList<Result> out;
    const QString band = data.band();
    const bool bandKnown = Band::isWellFormed(band);
    if (!bandKnown)
        out << (band.isEmpty() ? Result::fail(TextId::ServiceNoBand) : Result::fail(TextId::ServiceBadBand, {band}));
    for (int n = 1; n <= channelCount; ++n) {
        if (!data.channelExists(n))
            continue;
        QList<int> named;   // columns whose frequency is already refused
        for (int col : {1, 3}) {
            const QString f = ChannelText::cell(data.channel(n), col, {}, sep);
            if (f.isEmpty() || !bandKnown)
                continue;
            if (Result r = checkFrequency(f, n, col, band, sep); !r) {
                out << r;
                named << col;
            }
        }
        const Codec::Encoded ch = Codec::encodeChannel(data.channel(n), n);
        for (const Result& r : each(ch.error)) {
            const bool frequency = r.details.size() == 2 && r.details[1].textId == TextId::NotAFrequency;
            const int col = frequency && r.details[0].textId == ValueNames::columnId(1) ? 1 : 3;
            if (!frequency || !named.contains(col))
                out << r;
        }
    }
    out << each(Codec::encodeOptions(data, channelCount).error);
    out << each(Codec::encodeTimer(data).error);
    if (identity.writeUser)
        if (const Codec::Encoded u = Codec::encodeName(identity.userToWrite); !u.ok())
            out << setting(TextId::SettingUserName, u.error);
    if (const Codec::Encoded a = Codec::encodeName(adminName); !a.ok())
        out << setting(TextId::SettingAdminName, a.error);
    if (data.flag(Key::WriteNewPassword))
        if (const Codec::Encoded p = Codec::encodePassword(data.text(Key::NewPassword)); !p.ok())
            out << setting(TextId::SettingNewPassword, p.error);
    return out;
}

Result reason(const QList<Result>& problems)
{
    if (problems.size() == 1)
        return Result::because(TextId::CannotEncode, problems.first());
    return Result::fail(TextId::SeveralCannotEncode, {QString::number(problems.size())},
                        {Result::lines(std::vector<Result>(problems.cbegin(), problems.cend()))});
}

}
