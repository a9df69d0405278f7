#pragma once
#include <QMainWindow>
#include <QMap>
#include <memory>

#include "setup/appcontext.h"

class AppState;
class PortMap;
class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;
class SerialLink;
class SettingsDocument;
class TAboutBox;
class Taddmessage;
class Tchannel;
class Tcommuny;
class Tfunc;
class TRWForm;
class TTestForm;
struct RadioIdentity;

// The frame of the program: menu, toolbar, band selector, status bar and the
// area of the editor windows. It owns the settings document and the shared
// state, creates every window once, and routes every command.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // exeDir: where sysini.ini and the language packs lie.
    explicit TMainForm(const QString& exeDir, QWidget* parent = nullptr);
    ~TMainForm() override;

    AppContext& context() { return m_ctx; }
    SettingsDocument& document() { return *m_doc; }
    AppState& state() { return *m_state; }
    QString iniPath() const;

    Tfunc* funcForm() const { return m_func; }
    Tchannel* channelForm() const { return m_channel; }
    Tcommuny* communyForm() const { return m_communy; }
    TRWForm* rwForm() const { return m_rw; }
    Taddmessage* addmessageForm() const { return m_addmessage; }
    TTestForm* testForm() const { return m_test; }
    TAboutBox* aboutBox() const { return m_about; }
    QMdiSubWindow* subWindowOf(QWidget* child) const;

    // Start-up steps that run when the window is first shown.
    void startUp();
    // Writes sysini.ini; false (and an error box) when it cannot be written.
    bool writeConfiguration();
    void ApplyLanguagePack(const QString& name);
    void ComboBox11Change();

    // Commands
    void FileNewItemClick();
    void FileOpenItemClick();
    void FileCloseItemClick();
    void CutItemClick();
    void CopyItemClick();
    void ChannelInformation1Click();
    void OptionalFeatures1Click();
    void N4Click();
    void ToolButton12Click();
    void WindowCascadeItemClick();
    void N5Click();
    void N6Click();
    void N7Click();
    void About1Click();

    // The translated words for Read and Write kept in the two toolbar buttons.
    QString readCaption() const;
    QString writeCaption() const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildChildWindows();
    QMdiSubWindow* addChild(QWidget* w);
    void bringUp(QWidget* child);
    void setLanguageNumber(int n);
    void applyMainTexts();
    void bindSelectors();
    void refreshBandSelector();
    void refreshModelSelector();
    void loadBandList(const class Profile& ini);

    QString m_exeDir;
    std::unique_ptr<SettingsDocument> m_doc;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<PortMap> m_ports;
    std::unique_ptr<RadioIdentity> m_identity;
    SerialLink* m_link = nullptr;
    AppContext m_ctx;

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

    TAboutBox* m_about = nullptr;
    TRWForm* m_rw = nullptr;
    Tfunc* m_func = nullptr;
    Tchannel* m_channel = nullptr;
    Tcommuny* m_communy = nullptr;
    Taddmessage* m_addmessage = nullptr;
    TTestForm* m_test = nullptr;

    bool m_started = false;
    bool m_closeDeferred = false;
    bool m_configWritten = false;
};
