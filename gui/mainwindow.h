#pragma once
#include <QDateTime>
#include <QMainWindow>
#include <QMap>
#include <QRect>
#include <memory>

#include "app/appsession.h"

class AppState;
class DocumentData;
class PortMap;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;
class SerialLink;
class SettingsDocument;
class AboutBox;
class RadioInfoWindow;
class ChannelEditor;
class PortWindow;
class OptionsEditor;
class ReadWriteDialog;
class AlignmentWindow;
class UserGuide;
class ChannelSheet;
struct RadioIdentity;

// The frame of the program: menu, toolbar, band selector, status bar and the
// area of the editor windows. It creates every window once and routes every
// command; the session it is given owns the document and the shared state
// and outlives it and every window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppSession& session, QWidget* parent = nullptr);

    AppContext& context() { return m_ctx; }
    AppSession& session() { return m_session; }
    SettingsDocument& document() { return *m_doc; }
    AppState& state() { return *m_state; }
    QString iniPath() const;

    OptionsEditor* optionsEditor() const { return m_options; }
    ChannelEditor* channelEditor() const { return m_channel; }
    PortWindow* portWindow() const { return m_portWindow; }
    ReadWriteDialog* readWriteDialog() const { return m_rw; }
    RadioInfoWindow* radioInfoWindow() const { return m_radioInfo; }
    AlignmentWindow* alignmentWindow() const { return m_alignment; }
    AboutBox* aboutBox() const { return m_about; }
    QMdiSubWindow* subWindowOf(QWidget* child) const;

    // Start-up steps that run when the window is first shown.
    void startUp();
    // Writes sysini.ini; false (and an error box) when it cannot be written.
    bool writeConfiguration();
    // Tools > Communication log: starts a log of every frame into a file
    // the user picks, or ends the one running and writes it.
    void toggleCommunicationLog();
    void ApplyLanguagePack(const QString& name);
    void modelChanged();

    // Commands
    void newDocument();
    void openDocument();
    void save();
    void readRadio();
    void writeRadio();
    void showChannelEditor();
    void showOptionsEditor();
    void showRadioInfo();
    void showAlignmentWindow();
    void showPortWindow();
    void useSimplifiedChinese();
    void useEnglish();
    void useTraditionalChinese();
    void showHelp();
    void showAbout();

    // Editing commands (mainwindow_edit.cpp) and the file commands around
    // them (mainwindow_files.cpp).
    void saveAs();
    void undo();
    void redo();
    void cutChannels();
    void copyChannels();
    void pasteChannels();
    void insertChannel();
    void duplicateChannel();
    void importCsv();
    void exportCsv();
    // The channel sheet of the document (mainwindow_sheet.cpp): File >
    // Print shows it in the print preview, File > Export PDF saves it.
    void printSheet();
    void exportPdf();
    // Opens a settings file without the dialog (the recent-files list);
    // false when it could not be taken (a message said why).
    bool openSettingsFile(const QString& path);
    QStringList recentFiles() const { return m_recent; }
    // The settings file named on the command line (a double-click in the
    // file manager): opened as Open opens one, once start-up has asked what
    // it asks.
    void openFromCommandLine(const QString& path);
    // Before New, Open, Read and Exit: asks "Save changes to NAME?" when the
    // document has unsaved changes. False when the command must not go on.
    // Exit goes on to the question even when a typed value cannot be committed.
    bool maySetDocumentAside(bool exiting = false);
    // The file name shown in the title and the questions, or "Untitled".
    QString documentName() const;
    // A command's text without its mnemonic, for window and dialog captions.
    QString commandText(const char* name) const;
    // SIGTERM: closes without a question; unsaved work goes to the recovery
    // file, which the next start offers to restore.
    Q_INVOKABLE void closeForTermination();
    // $XDG_DATA_HOME/rq300 (default ~/.local/share/rq300).
    static QString recoveryDir();

    // The translated words for Read and Write kept in the two toolbar buttons.
    QString readCaption() const;
    QString writeCaption() const;

    // What the status bar says: the first step until the first read or
    // open, then what the last command did.
    QString statusText() const;
    // The document has its first contents (a read, Open, a backup, a
    // restore or an import): the first-step hint makes way.
    void firstStepDone();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildChildWindows();
    QMdiSubWindow* addChild(QWidget* w);
    void bringUp(QWidget* child);
    void keepInside(QMdiSubWindow* sub);
    void arrangeEditors();
    bool editorsAsArranged() const;
    void showStatus(const QString& text);
    QString firstStepText() const;
    void bandPicked(int index);
    void setLanguageNumber(int n);
    void applyMainTexts();
    void bindSelectors();
    void refreshBandSelector();
    void refreshModelSelector();
    void endCommunicationLog(bool atExit);

    // Editing (mainwindow_edit.cpp, mainwindow_files.cpp, mainwindow_recovery.cpp)
    // The command `name` of the action table, in `menu` (none: a short-cut
    // of the window only).
    QAction* addItem(QMenu* menu, const char* name, void (MainWindow::*slot)());
    void loadRecentFiles();
    void startEditing();
    void applyEditingTexts();
    // Menu texts, mnemonics and tool tips from the action table.
    void applyActionTexts();
    void rebuildSetMenu();
    void scheduleSettle();
    void settle();
    void updateTitle();
    bool saveDocument(bool saveAs);
    void addRecent(const QString& path);
    void storeRecent();
    void rebuildRecentMenu();
    void importChirp(const QByteArray& bytes, const QString& path);
    // An imported channel table replaces the document's, as one step to undo.
    void takeImported(const DocumentData& data, const QString& path);
    void offerRecovery();
    void writeRecovery();
    // The configuration and the end of the communication log, once at the end.
    void writeConfigurationOnce();
    // The channel sheet of the document as it stands, saying where it came from.
    ChannelSheet channelSheet() const;
    // A read has given the document: the sheet names the port and the time.
    void rememberRead();
    // Where an export of the document goes: the save dialog of command
    // `item`, starting beside the document's file and named after it with
    // `suffix`, then the question before another file is replaced. With
    // `type` the dialog offers each of `types` (*type first) and says which
    // was chosen. Empty when the user turns away.
    QString askExportPath(const char* item, const QStringList& types, const QString& suffix, int* type = nullptr);

    QString m_captionTail;           // model and band, as the commands set it
    bool m_settingTitle = false;
    bool m_settleQueued = false;
    bool m_terminating = false;
    QStringList m_recent;
    int m_csvExportType = 0;   // the CSV dialect last exported, offered first again
    QMenu* m_recentMenu = nullptr;
    QMenu* m_setMenu = nullptr;

    AppSession& m_session;
    AppContext& m_ctx;
    SettingsDocument* m_doc;
    AppState* m_state;
    SerialLink* m_link;

    QMdiArea* m_mdi = nullptr;
    QMap<QString, QAction*> m_actions;       // by object name
    QMap<QString, QToolButton*> m_buttons;   // by object name
    QComboBox* m_band = nullptr;
    QComboBox* m_model = nullptr;
    QLabel* m_bandLabel = nullptr;
    QLabel* m_modelLabel = nullptr;
    QLabel* m_status = nullptr;
    QString m_readWord = QStringLiteral("读 频");
    QString m_writeWord = QStringLiteral("写 频");

    AboutBox* m_about = nullptr;
    ReadWriteDialog* m_rw = nullptr;
    OptionsEditor* m_options = nullptr;
    ChannelEditor* m_channel = nullptr;
    PortWindow* m_portWindow = nullptr;
    RadioInfoWindow* m_radioInfo = nullptr;
    AlignmentWindow* m_alignment = nullptr;
    UserGuide* m_guide = nullptr;

    bool m_firstStep = true;          // nothing read or opened yet
    // The last read, for the sheet of a document that has no file since.
    struct LastRead { QString port; QDateTime at; } m_lastRead;
    QRect m_arrangedTable, m_arrangedOptions;   // as arrangeEditors() left them

    bool m_started = false;
    bool m_closeDeferred = false;
    bool m_configWritten = false;
};
