// Start-up, shutdown, the model change and the language commands.
#include <cstdio>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

#include "files/packfile.h"
#include "gui/aboutbox.h"
#include "gui/languageswitch.h"
#include "gui/mainwindow.h"
#include "gui/portwindow.h"
#include "gui/prompter.h"
#include "radio/codecs.h"
#include "radio/commlog.h"
#include "radio/seriallink.h"
#include "app/startupconfig.h"
#include "base/textids.h"
#include "app/appstate.h"
#include "files/profile.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "base/systemlocale.h"
#include "gui/channeleditor.h"
#include "gui/optionseditor.h"
#include "gui/radioinfowindow.h"
#include "radio/portmap.h"
#include "gui/readwritedialog.h"
#include "gui/safetymenu.h"
#include "gui/alignmentwindow.h"
#include "gui/userguide.h"

QString MainWindow::iniPath() const
{
    return m_session.where().iniPath;
}

void MainWindow::startUp()
{
    if (QMdiSubWindow* sub = subWindowOf(m_alignment))
        sub->hide();

    // An installed program starts its home configuration from the shipped
    // one; if that fails it reads the shipped one and the exit says why.
    const ConfigLocation& where = m_session.where();
    where.prepare();
    Result unreadable;
    const StartupConfig config = StartupConfig::read(where.load(&unreadable));
    *m_ctx.ports = config.ports;
    m_portWindow->restore(config.port, config.singlePort);

    // The only model is entry 0; a stored index naming no entry selects it,
    // or a later Save would write a file that no Open accepts.
    int model = config.modelIndex;
    if (model < 0 || model >= m_doc->options(Key::Model).size())
        model = 0;
    m_doc->setChoice(Key::Model, model);

    m_doc->setDecimalSeparator(SystemLocale::decimalSeparator());
    setLanguageNumber(config.language);
    ApplyLanguagePack(StartupConfig::packName(config.language));

    m_state->adminName = AppState::defaultAdminName();
    m_radioInfo->setStatusAdmin();

    m_doc->setBandList(config.bands);
    m_doc->setChoice(Key::Band, config.selectedBand);
    modelChanged();
    // Said once the language is known: without it the port map, the band
    // list and the language are the defaults, and a read may fail for it.
    if (!unreadable)
        Prompter::active().message(this, m_state->text(MsgId::Caption), unreadable.text(m_state->texts),
                                   Prompter::Icon::Warning);

    if (QMdiSubWindow* sub = subWindowOf(m_radioInfo))
        sub->hide();
    m_state->channelCount = 32;

    // A running communication log is on disk after every radio operation,
    // so a hang or a crash later still leaves it for the bug report.
    connect(m_state, &AppState::radioBusyChanged, this, [this](bool busy) {
        if (!busy && m_link->log())
            m_session.commLog().write();
    });
}

bool MainWindow::writeConfiguration()
{
    StartupConfig config;
    config.port = m_state->chosenPort;
    config.singlePort = m_state->singlePort;
    config.modelIndex = m_doc->choice(Key::Model);
    config.language = m_state->language;
    config.bands = m_doc->bandList();
    config.selectedBand = m_doc->choice(Key::Band);
    const Result saved = config.save(iniPath(), m_session.where().defaultIni);
    if (saved)
        return true;
    // A termination waits for no click: it is said on the terminal.
    if (m_terminating) {
        std::fprintf(stderr, "rq300: %s\n", qPrintable(saved.text(m_state->texts)));
        return false;
    }
    Prompter::active().message(this, QStringLiteral("RQ-300"), saved.text(m_state->texts), Prompter::Icon::Error);
    return false;
}

void MainWindow::setLanguageNumber(int n)
{
    m_state->language = n;
    const char* items[] = {"N5", "N6", "N7"};
    for (int i = 0; i < 3; ++i)
        m_actions.value(QLatin1String(items[i]))->setChecked(i + 1 == n);
}

void MainWindow::useSimplifiedChinese()
{
    setLanguageNumber(1);
    ApplyLanguagePack(StartupConfig::menuPackName(1));
}

void MainWindow::useEnglish()
{
    setLanguageNumber(2);
    ApplyLanguagePack(StartupConfig::menuPackName(2));
}

void MainWindow::useTraditionalChinese()
{
    setLanguageNumber(3);
    ApplyLanguagePack(StartupConfig::menuPackName(3));
}

void MainWindow::modelChanged()
{
    if (m_doc->choice(Key::Model) == 0) {
        m_state->modelId = Codec::ModelId;
        if (QWidget* tiny = m_options->findChild<QWidget*>(QStringLiteral("CheckBox3")))
            tiny->hide();
    }
    if (const QString pack = StartupConfig::packName(m_state->language); !pack.isEmpty())
        ApplyLanguagePack(pack);
    setWindowTitle(m_doc->choiceText(Key::Model));
}

void MainWindow::ApplyLanguagePack(const QString& name)
{
    const std::optional<PackStrings> pack =
        PackFile::load(m_session.where().packFile(name));
    if (!pack)
        return;   // a missing pack changes nothing
    m_state->texts = PackStrings::withFallback(*pack);
    LanguageSwitch::applyQtTranslation(m_state->language);
    const PackStrings& t = m_state->texts;
    m_doc->applyLanguage(t);
    m_about->applyTexts(t);
    applyMainTexts();
    m_rw->applyTexts(t);
    m_portWindow->applyTexts(t);
    m_radioInfo->applyTexts(t);
    m_channel->applyTexts(t);
    m_options->applyTexts(t);
    m_alignment->applyTexts(t);
    // Longer captions (English) must not be cut off by a frame sized for
    // the previous language; the editors where the program put them are
    // put side by side again for their new sizes.
    const bool arranged = editorsAsArranged();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        sub->resize(sub->size().expandedTo(sub->sizeHint()));
        keepInside(sub);
    }
    applyEditingTexts();
    if (arranged)
        arrangeEditors();
    if (m_guide && m_guide->isVisible())
        showHelp();
}

void MainWindow::applyMainTexts()
{
    const PackStrings& t = m_state->texts;
    applyActionTexts();
    m_bandLabel->setText(t.text(WordId::Band));
    m_modelLabel->setText(t.text(WordId::Model));
    m_readWord = t.text(WordId::Read);
    m_writeWord = t.text(WordId::Write);
    showStatus(m_firstStep ? firstStepText() : QStringLiteral("     ") + t.text(WordId::ProgramTitle));
}
