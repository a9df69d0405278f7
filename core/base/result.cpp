#include "result.h"

#include "packstrings.h"
#include "textids.h"

Result Result::verbatim(const QString& value)
{
    return {TextId::Verbatim, {value}, {}};
}

Result Result::lines(std::vector<Result> each)
{
    return {TextId::LineList, {}, std::move(each)};
}

QString Result::text(const PackStrings& texts) const
{
    if (ok())
        return {};
    if (textId == TextId::LineList) {
        QStringList each;
        for (const Result& d : details)
            each << d.text(texts);
        return each.join(u'\n');
    }
    QString t = texts.contains(textId) ? texts.text(textId) : PackStrings::builtIn().text(textId);
    if (t.isEmpty())
        t = QStringLiteral("#%1").arg(textId);
    QStringList values = args;
    for (const Result& d : details)
        values << d.text(texts);
    // Values are filled in one pass, so a value holding "%2" stays as it is.
    for (int i = values.size(); i >= 1; --i)
        t.replace(QStringLiteral("%") + QString::number(i), QStringLiteral("\x01%1\x02").arg(i));
    for (int i = 1; i <= values.size(); ++i)
        t.replace(QStringLiteral("\x01%1\x02").arg(i), values.at(i - 1));
    return t;
}
