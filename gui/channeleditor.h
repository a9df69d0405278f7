#pragma once
#include <QImage>
#include <QPointer>
#include <QWidget>

struct AppContext;
class ChannelGrid;
class ChannelTableModel;
class PackStrings;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsDocument;
struct ValueWords;

// The channel table editor: the grid of the 32 channels with its in-place
// editors (frequency, tone, tone drop-down), the toggling word cells and the
// delete and move buttons. Every cell lives in the settings document; the
// grid only shows it. The cell under edit is the shared state's
// editCol/editRow.
//
// Closing the window only hides it. Inside an MDI frame the frame is hidden
// with it (the main window brings both back); the editors are hidden when
// another child window becomes active.
class ChannelEditor : public QWidget {
    Q_OBJECT
public:
    // The cell under edit (column 1..11, row 1..32).
    int editCol() const { return m_editCol; }
    int editRow() const { return m_editRow; }
    explicit ChannelEditor(AppContext& ctx, QWidget* parent = nullptr);

    // Commit of the cell under edit: a typed frequency is put on the raster
    // (one outside the band is refused and stays in its editor); a new
    // channel gets its defaults; a channel whose receive frequency was
    // emptied is emptied.
    void sendallcell();
    // Rounds the frequency in cell [r, c] onto the raster.
    void sendcell(int c, int r);
    void hideEditors();
    bool frequencyEditorVisible() const;
    // Finishes whatever in-place edit is pending, a typed frequency or tone,
    // and hides the editors; Open, Save, Read and Write call it first.
    // False when a typed frequency could not be committed (no band, or
    // outside the band: its editor then stays open with the text).
    bool finishPendingEdit();
    // Escape: the cell under edit gets back what it held before the typing
    // began, and the editors close.
    void cancelEdit();
    void applyTexts(const PackStrings& t);
    // A typed value is in a cell or the tone drop-down is open: the change
    // is not finished yet.
    bool editPending() const;

    // Spreadsheet commands on the selected cells (channeleditor_clipboard.cpp).
    // The clipboard holds tab-separated text.
    void copyCells();
    void cutCells();
    void pasteCells();
    // Pastes `text` at the selected cell; false (and a message naming the
    // cell) when any value cannot be taken, and then nothing changes.
    bool pasteText(const QString& text);
    // Channels of the selected rows, or the channel under edit.
    void deleteSelectedChannels();
    void insertChannel();
    void duplicateChannel();
    // Writes `word` into column `col` of every existing channel selected.
    void setSelectedChannels(int col, const QString& word);
    QString columnName(int col) const;

    ChannelGrid* grid() const { return m_grid; }

signals:
    // A typed value was committed or given up; the change is complete.
    void editSettled();

public:
    QSize sizeHint() const override { return {799, 554}; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildEditors();
    void buildPanel();
    void loadPicture();
    void showPicture();
    void refillToneList();
    void updateFrequencyValidator();
    void watchFrame();

    // Grid events
    void cellChosen();
    bool StringGrid1SelectCell(int c, int r);
    bool StringGrid1KeyDown(QKeyEvent* e);
    bool StringGrid1KeyPress(QKeyEvent* e);
    void StringGrid1MouseWheel(int delta);
    void StringGrid1DrawCell();
    void checkEditorPositions();
    // In-place editors
    bool Edit1KeyPress(QKeyEvent* e);
    void Edit1KeyUp();
    bool Edit3KeyPress(QKeyEvent* e);
    void Edit3KeyUp();
    void Edit3Exit();
    void toneEditorDoubleClicked();
    void dropDownChanged();
    bool ComboBox1KeyPress(QKeyEvent* e);
    void ComboBox1Exit();
    // Buttons
    void deleteAllChannels();
    void moveChannelUp();
    void moveChannelDown();
    void deleteChannels();
    void FormDeactivate();

    bool commit();
    bool toggleCell(int c, int r);
    bool startTypingTone(QKeyEvent* k);
    void editCellInPlace();
    QList<int> selectedRows() const;
    bool beginCommand();
    void refuse(int textId, const QStringList& args);
    bool commitFrequency(int c, int r);
    void reopenFrequencyEditor(int c, int r);
    bool leaveEditorByKey(QKeyEvent* k);
    void keepBefore(int c, int r);
    void moveChannel(int delta);
    void placeEditor(QWidget* editor, int c, int r);
    void hideToneEditor();
    void setEditCell(int c, int r);
    QString cell(int r, int c) const;
    void setCell(int r, int c, const QString& text);
    bool channelExists(int r) const;
    const ValueWords& words() const;
    QChar separator() const;

    AppContext& m_ctx;
    // Null once the document is gone: the main window may destroy it before
    // its child windows, and focus changes during that teardown must not
    // reach it.
    QPointer<SettingsDocument> m_doc;
    ChannelTableModel* m_model = nullptr;
    ChannelGrid* m_grid = nullptr;
    QLineEdit* m_edit1 = nullptr;      // frequency editor
    QLineEdit* m_edit3 = nullptr;      // tone editor
    QComboBox* m_combo1 = nullptr;     // tone drop-down
    QLabel* m_image = nullptr;
    QImage m_picture;   // as decoded, without the model and band line
    QPushButton* m_buttons[6] = {};    // Button2 .. Button5 by number

    bool m_navigating = false;         // the click comes from a key or the wheel
    bool m_frequencyPending = false;   // a typed frequency is in a cell, not committed
    bool m_tonePending = false;        // a typed tone is in a cell, not normalised
    bool m_comboUpdating = false;
    bool m_positionCheckQueued = false;
    // What the cell under edit held before the typing began (for Escape);
    // col -1 when nothing is typed.
    struct {
        int col = -1;
        int row = -1;
        QString text;
    } m_before;
    QMetaObject::Connection m_frameConnection;
    int m_editCol = 1;
    int m_editRow = 1;
};
