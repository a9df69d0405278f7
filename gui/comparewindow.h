#pragma once
#include <QDialog>
#include <QStringList>

#include "app/appcontext.h"
#include "radio/transferthread.h"

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
class CompareWindow : public QDialog {
    Q_OBJECT
public:
    explicit CompareWindow(AppContext& ctx, QWidget* parent = nullptr);

    void applyTexts(const PackStrings& texts);
    // Shows the window modally, with the list of the last comparison cleared.
    void startCommand();

    // Starts reading the radio; the list fills when the read ends
    // (readFinished), on a thread of its own meanwhile.
    void readRadio();
    QStringList differences() const { return m_lines; }
    bool isReading() const { return m_thread.isRunning(); }
    void stopAndWait();

signals:
    void readFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void readEnded();

    AppContext m_ctx;
    TransferThread m_thread;
    bool m_quiet = false;   // ending with the program: nothing more is said
    QStringList m_lines;
    QLabel* m_summary;
    QListWidget* m_list;
    QProgressBar* m_progress;
    QPushButton* m_read;
    QPushButton* m_close;
};
