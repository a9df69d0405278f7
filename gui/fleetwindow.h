#pragma once
#include <QDialog>
#include <QList>

#include "app/appcontext.h"
#include "radio/fleet.h"

class PackStrings;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// Programming > Program several radios: writes one document into the radios
// on every ticked port at once, with backup and verify, the user name
// unchanged, fixed or counted, and a line per radio in a report file. With
// "keep going" each port programs the next radio plugged in, without a
// click, until Stop. One row per port shows what it is doing. The work is a
// FleetRun (the core's, shared with rq300-cli write --watch); this window
// only gathers its settings and shows its rows.
class FleetWindow : public QDialog {
    Q_OBJECT
public:
    explicit FleetWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~FleetWindow() override;

    void applyTexts(const PackStrings& texts);
    // Shows the window modally; returns when it closes.
    void startCommand();

    void start();
    void stop();
    bool isRunning() const { return m_run.isRunning(); }
    const FleetRun& run() const { return m_run; }
    QString reportPath() const;

signals:
    // Every port has ended (one radio each, or a stop).
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QList<FleetRun::Port> chosenPorts() const;
    bool sourceDocument(DocumentData* data);
    void showRow(int row);
    void showTotals();
    void runEnded();
    void chooseSource();
    void chooseReport();
    void openReportFolder();
    void setEditable(bool on);
    QString stateText(const FleetRun::Row& row) const;
    QString text(int id) const;

    AppContext m_ctx;
    FleetRun m_run;
    bool m_stopping = false;
    bool m_reportWarned = false;   // a report that cannot be written is said once

    QGroupBox* m_portsGroup;
    QCheckBox* m_everyCable;
    QList<QCheckBox*> m_portBoxes;
    QGroupBox* m_sourceGroup;
    QRadioButton* m_sourceDocument;
    QRadioButton* m_sourceFile;
    QLineEdit* m_sourcePath;
    QPushButton* m_chooseSource;
    QGroupBox* m_optionsGroup;
    QCheckBox* m_backup;
    QCheckBox* m_verify;
    QRadioButton* m_userUnchanged;
    QRadioButton* m_userFixed;
    QRadioButton* m_userPattern;
    QLineEdit* m_fixedName;
    QLineEdit* m_pattern;
    QLabel* m_firstLabel;
    QSpinBox* m_first;
    QCheckBox* m_keepGoing;
    QLabel* m_reportLabel;
    QLineEdit* m_report;
    QPushButton* m_chooseReport;
    QPushButton* m_openFolder;
    QTableWidget* m_table;
    QLabel* m_totals;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_close;
};
