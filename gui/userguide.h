#pragma once
#include <QDialog>
#include <QList>
#include <utility>

class QTextBrowser;

// Help > Help: a short user guide, headed sections of plain text that the
// main window puts together from the active language pack. It stays open
// beside the windows it describes (not modal) and shows again what it is
// given each time.
class UserGuide : public QDialog {
    Q_OBJECT
public:
    using Section = std::pair<QString, QStringList>;   // heading, paragraphs

    explicit UserGuide(QWidget* parent = nullptr);
    void showGuide(const QString& caption, const QString& intro, const QList<Section>& sections);
    // The guide as shown, without markup (tests read it).
    QString plainText() const;

private:
    QTextBrowser* m_text;
};
