#pragma once
#include <QWidget>

#include "app/appcontext.h"

class PackStrings;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

// The radio information window: what the last transfer found in the radio's
// identity records, and the user name that the next write may store.
// It shows the shared identity fields (ctx.identity) and writes the user
// name and its box straight into them; closing it only hides it.
class RadioInfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit RadioInfoWindow(AppContext& ctx, QWidget* parent = nullptr);

    void applyTexts(const PackStrings& texts);
    // Two blanks, the administrator label, a colon and the administrator
    // name (Chinese: 管理员：Tavrin); set at start-up and kept in the active
    // language from then on.
    void setStatusAdmin();

    void closeWindow();

public slots:
    // Shows the identity fields again; a transfer fills them as it goes.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext m_ctx;
    QGroupBox* m_group1;
    QGroupBox* m_group3;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    QLabel* m_label4;
    QLabel* m_label5;
    QLabel* m_label9;
    QLineEdit* m_edit1;
    QLineEdit* m_edit2;
    QLineEdit* m_edit3;
    QLineEdit* m_edit4;
    QLineEdit* m_edit5;
    QLineEdit* m_edit9;
    QLineEdit* m_edit8;
    QCheckBox* m_check2;
    QPushButton* m_button1;
    QStatusBar* m_status;
    bool m_adminShown = false;
};
