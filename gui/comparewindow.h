#pragma once
#include <QDialog>
#include <QStringList>

#include "app/appcontext.h"

class PackStrings;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// Programming > Compare with radio: reads the radio into a document of its
// own and lists every difference between the settings document and the
// radio, one line each ("channel 05 TX tone: 67.0 -> D023N"). Neither the
// document nor the radio changes; the read is kept as a backup when the
// read/write window's backup box is ticked.
class TCompareWindow : public QDialog {
    Q_OBJECT
public:
    explicit TCompareWindow(AppContext& ctx, QWidget* parent = nullptr);

    void applyTexts(const PackStrings& texts);
    // Shows the window modally, with the list of the last comparison cleared.
    void startCommand();

    // Reads the radio and fills the list.
    void ButtonReadClick();
    QStringList differences() const { return m_lines; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    AppContext m_ctx;
    bool m_running = false;
    QStringList m_lines;
    QLabel* m_summary;
    QListWidget* m_list;
    QProgressBar* m_progress;
    QPushButton* m_read;
    QPushButton* m_close;
};
