#include "csvrecords.h"

#include "base/textids.h"

namespace CsvRecords {

namespace {

QString quoted(const QString& field)
{
    static const QString special = QStringLiteral(",;\"\r\n");
    for (QChar c : field) {
        if (special.contains(c)) {
            QString q = field;
            q.replace(u'"', QStringLiteral("\"\""));
            return u'"' + q + u'"';
        }
    }
    return field;
}

} // namespace

QList<Record> split(const QString& text, QChar delimiter, Result* error)
{
    QList<Record> records;
    Record rec{1, {}};
    QString field;
    bool inQuotes = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            inQuotes = true;
        } else if (c == delimiter) {
            rec.fields << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        } else if (c == u'\n') {
            rec.fields << field;
            records << rec;
            field.clear();
            rec = Record{++line, {}};
        } else {
            field += c;
        }
    }
    if (inQuotes) {
        *error = Result::fail(TextId::CsvQuoteOpen, {QString::number(rec.line)});
        return {};
    }
    if (!field.isEmpty() || !rec.fields.isEmpty()) {
        rec.fields << field;
        records << rec;
    }
    return records;
}

QChar detectDelimiter(const QString& text)
{
    const QString first = text.left(text.indexOf(u'\n'));
    return first.contains(u';') && !first.contains(u',') ? QChar(u';') : QChar(u',');
}

bool blank(const QStringList& fields)
{
    for (const QString& f : fields)
        if (!f.trimmed().isEmpty())
            return false;
    return true;
}

Result joined(const QList<Result>& problems)
{
    Result all = problems.first();
    for (qsizetype i = 1; i < problems.size(); ++i)
        all = Result::fail(TextId::CsvProblems, {}, {all, problems[i]});
    return all;
}

QString line(const QStringList& fields)
{
    QStringList q;
    for (const QString& f : fields)
        q << quoted(f);
    return q.join(u',') + QStringLiteral("\r\n");
}

}
