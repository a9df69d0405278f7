#pragma once
#include <QStringList>

#include "gui/prompter.h"

// Answers message boxes and file dialogs from a script and records what was
// asked, so window tests never block on a modal box.
class ScriptedPrompter : public Prompter {
public:
    struct Shown { QString caption; QString text; Icon icon; };
    QList<Shown> messages;
    QList<Shown> questions;
    QList<bool> answers;          // consumed by question(); No when empty
    QStringList files;            // consumed by openFile()/saveFile(); cancel when empty
    QStringList filters;          // file type filters of openFile()/saveFile(), in order
    QStringList suffixes;         // default suffixes asked by saveFile()
    QStringList saveStarts;       // where saveFile() started
    QList<Shown> saveQuestions;   // asked by saveChanges()
    QList<SaveChoice> saveAnswers;   // consumed by saveChanges(); Discard when empty
    QList<QStringList> typeLists;    // the file types saveFileOfType() offered, in order
    QList<int> typeAnswers;          // consumed by saveFileOfType(); the offered type when empty

    ScriptedPrompter() { Prompter::install(this); }
    ~ScriptedPrompter() override { Prompter::install(nullptr); }

    void message(QWidget*, const QString& c, const QString& t, Icon i) override { messages.append({c, t, i}); }
    bool question(QWidget*, const QString& c, const QString& t, Icon i) override
    {
        questions.append({c, t, i});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    SaveChoice saveChanges(QWidget*, const QString& c, const QString& t) override
    {
        saveQuestions.append({c, t, Icon::Warning});
        return saveAnswers.isEmpty() ? SaveChoice::Discard : saveAnswers.takeFirst();
    }
    QString openFile(QWidget*, const QString&, const QString& filter) override
    {
        filters.append(filter);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString saveFile(QWidget*, const QString&, const QString& filter, const QString& suffix,
                     const QString& start) override
    {
        filters.append(filter);
        suffixes.append(suffix);
        saveStarts.append(start);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString saveFileOfType(QWidget*, const QString&, const QStringList& types, const QString& suffix,
                           const QString& start, int* type) override
    {
        typeLists.append(types);
        suffixes.append(suffix);
        saveStarts.append(start);
        if (!typeAnswers.isEmpty())
            *type = typeAnswers.takeFirst();
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    // The preview is turned away, so that no test waits on it.
    bool print(QWidget*, const QString&, QPrinter&, const std::function<void(QPrinter*)>&) override { return false; }
};
