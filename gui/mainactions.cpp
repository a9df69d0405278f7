#include "gui/mainactions.h"

#include <QString>

#include "base/textids.h"

namespace MainActions {

const QList<MainAction>& all()
{
    using K = QKeySequence;
    static const QList<MainAction> table = {
        // File
        {"File1", "文件", 9, 'F', {}},
        {"FileNewItem", "新建", 13, 'N', {K(QStringLiteral("Ctrl+N"))}, "ToolButton9", "new", 11, true},
        {"FileOpenItem", "打开", 14, 'O', {K(QStringLiteral("Ctrl+O"))}, "ToolButton1", "open", 12, true},
        {"FileCloseItem", "保存", 15, 'S', {K(QStringLiteral("Ctrl+S"))}, "ToolButton2", "save", 13},
        {"FileSaveAsItem", "", TextId::MenuSaveAs, 'A', K::keyBindings(K::SaveAs)},
        {"RecentMenu", "", TextId::MenuRecent, 'R', {}},
        {"ImportCsvItem", "", TextId::MenuImportCsv, 'I', {}},
        {"ExportCsvItem", "", TextId::MenuExportCsv, 'E', {}},
        {"PrintItem", "", TextId::MenuPrint, 'P', {K(QStringLiteral("Ctrl+P"))}},
        {"ExportPdfItem", "", TextId::MenuExportPdf, 'D', {}},
        {"FileExitItem", "退出", 16, 'X', {}},
        // Edit
        {"EditMenu", "", TextId::MenuEdit, 'E', {}},
        {"UndoItem", "", TextId::MenuUndo, 'U', K::keyBindings(K::Undo)},
        {"RedoItem", "", TextId::MenuRedo, 'R', {K(QStringLiteral("Ctrl+Y")), K(QStringLiteral("Ctrl+Shift+Z"))}},
        {"ClipCutItem", "", TextId::MenuCut, 'T', K::keyBindings(K::Cut)},
        {"ClipCopyItem", "", TextId::MenuCopy, 'C', K::keyBindings(K::Copy)},
        {"ClipPasteItem", "", TextId::MenuPaste, 'P', K::keyBindings(K::Paste)},
        {"InsertChannelItem", "", TextId::MenuInsertChannel, 'I', {K(QStringLiteral("Ctrl+I"))}},
        {"DuplicateChannelItem", "", TextId::MenuDuplicateChannel, 'D', {K(QStringLiteral("Ctrl+D"))}},
        {"DeleteChannelsItem", "", TextId::MenuDelete, 'L', {}},
        {"SelectAllItem", "", TextId::MenuSelectAll, 'A', K::keyBindings(K::SelectAll)},
        {"SetSelectedMenu", "", TextId::MenuSetSelected, 'S', {}},
        // Programming
        {"Edit1", "编程", 10, 'P', {}},
        {"CutItem", "读频", 17, 'R', {K(QStringLiteral("Ctrl+R"))}, "ToolButton4", "read", 21, true},
        {"CopyItem", "写频", 18, 'W', {K(QStringLiteral("Ctrl+W"))}, "ToolButton5", "write", 23, true},
        {"ChannelInformation1", "信道编辑", 19, 'C', {}, "ToolButton8", "channel", 31},
        {"OptionalFeatures1", "可选功能", 20, 'O', {}, "ToolButton10", "features", 32},
        {"N4", "本机信息", 145, 'I', {}, "ToolButton11", "info", 33},
        {"CompareItem", "", TextId::CompareCaption, 'M', {}},
        {"FleetItem", "", TextId::FleetMenuItem, 'P', {}},
        // Tools
        {"Window1", "工具", 11, 'T', {}},
        {"WindowCascadeItem", "通信端口", 22, 'C', {}, "ToolButton6", "port", 22},
        {"CommunicationLog1", "通信记录...", TextId::CommLogMenu, 'G', {}},
        {"N2", "语言", 23, 'L', {}},
        // Each language named in itself.
        {"N5", "简体中文", 56, 0, {}},
        {"N6", "English", 57, 0, {}},
        {"N7", "繁體中文", 0, 0, {}},
        {"BackupsItem", "", TextId::BackupsCaption, 'B', {}},
        // Help
        {"Help1", "帮助", 12, 'H', {}},
        {"HelpAboutItem", "帮助", 12, 'H', {}},
        {"About1", "关于", 0, 'A', {}},   // named as the about box is
        // Without a menu: closes the active editor; opens the alignment
        // window, whose toolbar button stays hidden as delivered.
        {"CloseWindowItem", "", 0, 0, {K(Qt::CTRL | Qt::Key_F4)}},
        {"AlignmentItem", "", 0, 0, {K(QStringLiteral("Ctrl+Alt+Shift+T"))}, "ToolButton12", "align", 41, false, true},
    };
    return table;
}

const MainAction* find(const QString& name)
{
    for (const MainAction& a : all())
        if (name == QLatin1String(a.name))
            return &a;
    return nullptr;
}

}
