#pragma once
#include <QDialog>

#include "app/appcontext.h"

class PackStrings;
class QLabel;
class QPushButton;
class QTableWidget;

// Tools > Backups: the backup folder's list, newest first (time, user, band,
// file), and Open, which loads the chosen backup into the settings document
// as File > Open would.
class BackupsWindow : public QDialog {
    Q_OBJECT
public:
    explicit BackupsWindow(AppContext& ctx, QWidget* parent = nullptr);

    void applyTexts(const PackStrings& texts);
    // Lists the folder again and shows the window modally.
    void startCommand();
    void refresh();
    // Loads the selected backup; false (after a message) when it cannot be.
    bool openSelected();
    int count() const;
    QString pathAt(int row) const;
    void selectRow(int row);

signals:
    // The document now holds a backup; `caption` is the main window's caption
    // for it (model and band).
    void loaded(const QString& caption);

private:
    AppContext m_ctx;
    QLabel* m_folder;
    QTableWidget* m_table;
    QPushButton* m_open;
    QPushButton* m_close;
};
