#pragma once
#include <QString>
#include <QStringList>
#include <vector>

class PackStrings;

// What a core operation reports: success, or what failed and why as a text
// id (setup/textids.h or an original pack id) with the values for its "%1",
// "%2" ... The core never builds the words itself; the windows and the
// command-line tool turn a Result into text in the active language.
struct Result {
    int textId = 0;          // 0 on success
    QStringList args;
    // Failures that explain this one (the link's reason inside "Port error:
    // %1"), each filled in as a value after `args`, in the same language.
    std::vector<Result> details;

    bool ok() const { return textId == 0; }
    explicit operator bool() const { return ok(); }

    static Result success() { return {}; }
    static Result fail(int id, QStringList values = {}) { return {id, std::move(values), {}}; }
    // `id` with its plain values, then the texts of `details` as the values
    // after them, in order (a column's name, the reason it is refused).
    static Result fail(int id, QStringList values, std::vector<Result> details)
    {
        return {id, std::move(values), std::move(details)};
    }
    // `id` whose last value is the text of `detail`.
    static Result because(int id, Result detail, QStringList values = {})
    {
        Result r{id, std::move(values), {}};
        r.details.push_back(std::move(detail));
        return r;
    }

    // A text by id alone, such as a column's name, for a message to take as
    // one of its values.
    static Result named(int id) { return {id, {}, {}}; }
    // A value shown as it is, where a message may take a text instead
    // ("(empty)").
    static Result verbatim(const QString& value);
    // Messages one below the other, as one value.
    static Result lines(std::vector<Result> each);

    // The reason in the language of `texts`, values filled in. Empty on success.
    QString text(const PackStrings& texts) const;
    bool operator==(const Result&) const = default;
};
