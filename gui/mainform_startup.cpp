// Start-up, shutdown, the model change and the language commands.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

#include "gui/aboutbox.h"
#include "gui/languageswitch.h"
#include "gui/mainform.h"
#include "gui/portwindow.h"
#include "files/profile.h"
#include "gui/prompter.h"
#include "setup/appstate.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "setup/systemlocale.h"
#include "gui/channeleditor.h"
#include "gui/funceditor.h"
#include "gui/addmessage.h"
#include "radio/portmap.h"
#include "gui/rwform.h"
#include "gui/testform.h"

namespace {
// More bands than any installation ships; a damaged file must not make
// start-up build a list of millions.
constexpr int MaxBands = 64;
const char* const PackNames[] = {"cha_dll", "eng_dll", "ty"};
}

QString TMainForm::iniPath() const
{
    return QDir(m_exeDir).filePath(QStringLiteral("sysini.ini"));
}

void TMainForm::loadBandList(const Profile& ini)
{
    const int count = std::clamp(ini.intValue(QStringLiteral("list"), QStringLiteral("listcount"), 0), 0, MaxBands);
    QStringList bands;
    for (int i = 0; i < count; ++i) {
        const QString band = ini.value(QStringLiteral("list"), QStringLiteral("combo%1").arg(i),
                                       QStringLiteral("400-470MHz"));
        // A malformed entry would break every frequency commit; leave it out.
        if (Band::isWellFormed(band))
            bands << band;
    }
    m_doc->setOptions(Key::Band, bands);
    m_doc->setChoice(Key::Band, ini.intValue(QStringLiteral("list"), QStringLiteral("listnow"), 0));
}

void TMainForm::startUp()
{
    if (QMdiSubWindow* sub = subWindowOf(m_test))
        sub->hide();

    const Profile ini = Profile::load(iniPath());
    *m_ports = PortMap::fromProfile(ini);
    const QString open = QStringLiteral("Open");
    m_communy->restore(ini.intValue(open, QStringLiteral("com"), 1),
                       ini.intValue(open, QStringLiteral("co_mode"), 0) == 1);

    // The only model is entry 0; a stored index naming no entry selects it,
    // or a later Save would write a file that no Open accepts.
    int model = ini.intValue(open, QStringLiteral("M_type"), 0);
    if (model < 0 || model >= m_doc->options(Key::Model).size())
        model = 0;
    m_doc->setChoice(Key::Model, model);

    int lang = ini.intValue(open, QStringLiteral("lang"), 1);
    if (lang < 1 || lang > 3)
        lang = 1;
    if (lang != 3)
        lang = SystemLocale::defaultLanguageId() == 0x0804 ? 1 : 2;
    m_doc->setDecimalSeparator(SystemLocale::decimalSeparator());
    setLanguageNumber(lang);
    ApplyLanguagePack(QLatin1String(PackNames[lang - 1]));

    m_state->adminName = QStringLiteral("Tavrin");
    m_addmessage->setStatusAdmin();

    loadBandList(ini);
    ComboBox11Change();

    if (QMdiSubWindow* sub = subWindowOf(m_addmessage))
        sub->hide();
    m_state->editCol = 1;
    m_state->editRow = 1;
    m_state->channelCount = 32;
    m_func->setStartValues();
}

bool TMainForm::writeConfiguration()
{
    Profile ini = Profile::load(iniPath());
    ini.renameSection(QStringLiteral("Open"), QStringLiteral("open"));
    const QString open = QStringLiteral("open");
    const QString list = QStringLiteral("list");
    ini.setInt(open, QStringLiteral("com"), m_state->chosenPort);
    ini.setInt(open, QStringLiteral("co_mode"), m_state->singlePort ? 1 : 0);
    ini.setInt(open, QStringLiteral("M_type"), m_doc->choice(Key::Model));
    ini.setInt(open, QStringLiteral("lang"), m_state->language);
    const QStringList bands = m_doc->bandList();
    ini.setInt(list, QStringLiteral("listnow"), m_doc->choice(Key::Band));
    ini.setInt(list, QStringLiteral("listcount"), int(bands.size()));
    for (int i = 0; i < bands.size(); ++i)
        ini.setValue(list, QStringLiteral("combo%1").arg(i), bands[i]);
    QString error;
    if (ini.save(iniPath(), &error))
        return true;
    Prompter::active().message(this, QStringLiteral("RQ-300"),
                               QStringLiteral("Unable to write to %1").arg(iniPath()),
                               Prompter::Icon::Error);
    return false;
}

void TMainForm::setLanguageNumber(int n)
{
    m_state->language = n;
    const char* items[] = {"N5", "N6", "N7"};
    for (int i = 0; i < 3; ++i)
        m_actions.value(QLatin1String(items[i]))->setChecked(i + 1 == n);
}

void TMainForm::N5Click()
{
    setLanguageNumber(1);
    ApplyLanguagePack(QStringLiteral("CHA_DLL"));
}

void TMainForm::N6Click()
{
    setLanguageNumber(2);
    ApplyLanguagePack(QStringLiteral("eng_DLL"));
}

void TMainForm::N7Click()
{
    setLanguageNumber(3);
    ApplyLanguagePack(QStringLiteral("ty"));
}

void TMainForm::ComboBox11Change()
{
    if (m_doc->choice(Key::Model) == 0) {
        m_state->modelId = QStringLiteral("4B512D195A18FF06");
        if (QWidget* tiny = m_func->findChild<QWidget*>(QStringLiteral("CheckBox3")))
            tiny->hide();
    }
    if (m_state->language >= 1 && m_state->language <= 3)
        ApplyLanguagePack(QLatin1String(PackNames[m_state->language - 1]));
    setWindowTitle(m_doc->choiceText(Key::Model));
}

void TMainForm::ApplyLanguagePack(const QString& name)
{
    const std::optional<PackStrings> pack =
        PackStrings::loadFile(PackStrings::findPackFile(m_exeDir, name));
    if (!pack)
        return;   // a missing pack changes nothing
    m_state->texts = PackStrings::withFallback(*pack);
    LanguageSwitch::applyQtTranslation(m_state->language);
    const PackStrings& t = m_state->texts;
    m_doc->applyLanguage(t);
    m_about->applyTexts(t);
    applyMainTexts();
    m_rw->applyTexts(t);
    m_communy->applyTexts(t);
    m_addmessage->applyTexts(t);
    m_channel->applyTexts(t);
    m_func->applyTexts(t);
    m_test->applyTexts(t);
    // Longer captions (English) must not be cut off by a frame sized for
    // the previous language.
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        sub->resize(sub->size().expandedTo(sub->sizeHint()));
}

void TMainForm::applyMainTexts()
{
    const PackStrings& t = m_state->texts;
    const std::pair<const char*, int> items[] = {
        {"File1", 9}, {"FileNewItem", 13}, {"FileOpenItem", 14}, {"FileCloseItem", 15},
        {"FileExitItem", 16}, {"Edit1", 10}, {"CutItem", 17}, {"CopyItem", 18},
        {"ChannelInformation1", 19}, {"OptionalFeatures1", 20}, {"N4", 145}, {"Window1", 11},
        {"WindowCascadeItem", 22}, {"N2", 23}, {"N5", 56}, {"N6", 57}, {"Help1", 12},
        {"HelpAboutItem", 12}};
    for (const auto& [name, id] : items)
        m_actions.value(QLatin1String(name))->setText(t.text(id));
    m_actions.value(QStringLiteral("About1"))->setText(m_about->windowTitle());
    m_bandLabel->setText(t.text(158));
    m_modelLabel->setText(t.text(157));
    m_readWord = t.text(53);
    m_writeWord = t.text(54);
    m_status->setText(QStringLiteral("     ") + t.text(61));
}
