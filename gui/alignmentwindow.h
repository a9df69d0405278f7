#pragma once
#include <QHash>
#include <QWidget>

#include "app/appcontext.h"
#include "document/alignmentvalues.h"
#include "service/servicethread.h"

#include <functional>

class PackStrings;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// The alignment window (caption "调试"): the radio's calibration values, read
// from the radio, written back with the model and band, stored in *.m17 files,
// and the aging, battery-voltage and squelch service commands. Its captions
// follow the active language. Closing it only hides it, so its values live on.
class AlignmentWindow : public QWidget {
    Q_OBJECT
public:
    explicit AlignmentWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~AlignmentWindow() override;

    AlignmentValues values() const;
    void setValues(const AlignmentValues& v);
    // True while one of this window's radio operations runs.
    bool operationRunning() const { return m_running; }

    void readValues();   // "读出": read the values
    void adjust();   // "调整": write model, band and values
    void loadFile();   // "打开": load a file
    void saveFile();   // "保存": save a file
    void aging();   // "老化": aging
    void calibrateBattery();   // "电源调整": battery-voltage calibration
    void adjustSquelch();   // "调整SQL": squelch

    // The read/write window's initialise command: the adjust without the end
    // command, on `device`, before the transfer that follows. Reports a
    // failure itself; `done` is told whether the radio took every record.
    void initialiseForTransfer(const QString& device, std::function<void(bool)> done);

    // Captions in the language of `t`; the layout grows with longer ones.
    void applyTexts(const PackStrings& t);
    // The alignment file filter, "description (*.m17)|*.m17", in the active language.
    QString fileFilter() const;

signals:
    // As the read/write window's: a read filled the radio information
    // fields (model and band), and selected the radio's band in the band
    // list, which the main window shows in its caption "model     [band]".
    void identityChanged();
    void bandSelected(const QString& band);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    QWidget* valueField(const QString& name, QWidget* parent);
    bool mayStart() const;
    void updateCommands();
    QString device() const;
    void report(const Service::Outcome& out);
    void refuse(const Result& why);
    void backupBeforeAdjust(const std::function<void()>& adjust);
    void setRunning(bool running);
    void runOnRadio(ServiceThread::Work work, std::function<void(const Service::Outcome&)> done,
                    const QString& device = {});
    void serviceFinished();
    const PackStrings& texts() const;
    QString text(int id) const;
    QLabel* caption(int id, QWidget* parent, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

    AppContext& m_ctx;
    QHash<QString, QLineEdit*> m_edits;
    QHash<QString, UpDown*> m_spins;
    QHash<int, QPushButton*> m_buttons;   // by number
    QCheckBox* m_stamp = nullptr;
    QLabel* m_result = nullptr;           // Label25
    bool m_running = false;
    ServiceThread* m_service = nullptr;
    std::function<void(const Service::Outcome&)> m_done;   // of the operation on the service thread
    bool m_chained = false;   // that one's end started the next part of the operation
    bool m_alignmentBackedUp = false;   // the first adjust keeps the radio's values first
    // Every captioned control with the text id of its caption.
    QList<std::pair<QLabel*, int>> m_labelTexts;
    QList<std::pair<QGroupBox*, int>> m_groupTexts;
    QList<std::pair<class QAbstractButton*, int>> m_buttonTexts;
};
