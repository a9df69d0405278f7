#pragma once
#include <QDialog>
#include <array>

#include "app/appcontext.h"

class PackStrings;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The port window: picks the port the programming cable hangs on (COM1 ..
// COM16) and the single-port mode. Every pick takes effect at once; there is
// no cancel.
class PortWindow : public QDialog {
    Q_OBJECT
public:
    explicit PortWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The window's tag: the chosen port, 1 .. 16.
    int tag() const { return m_tag; }

    // Start-up: ticks the stored port and mode through the same handlers as
    // a click. A stored port outside 1 .. 16 keeps port 1.
    void restore(int port, bool singlePort);
    void applyTexts(const PackStrings& t);

    // Opens every port's device exclusively and closes it again; a port that
    // cannot be opened is disabled. Runs on every show.
    void probePorts();

    QRadioButton* portButton(int port) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void portChosen();
    void singlePortToggled(bool checked);
    void pointLinkAtChosenPort();

    AppContext& m_ctx;
    int m_tag = 1;
    QGroupBox* m_group;
    std::array<QRadioButton*, 16> m_com{};
    QCheckBox* m_single;
    QPushButton* m_ok;
};
