#include "gui/channelmodel.h"

#include "document/documentdata.h"
#include "document/settingsdocument.h"

ChannelTableModel::ChannelTableModel(SettingsDocument* doc, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc)
{
    m_headers.resize(DocumentData::Cols);
    connect(doc, &SettingsDocument::cellChanged, this, [this](int r, int c) {
        if (r >= 1 && r <= DocumentData::ChannelCount && c >= 0 && c < DocumentData::Cols)
            emit dataChanged(index(r - 1, c), index(r - 1, c), {Qt::DisplayRole});
    });
    // Open, a read and a language switch replace cells wholesale; the grid
    // keeps its selection, so only the contents are refreshed.
    connect(doc, &SettingsDocument::reset, this, &ChannelTableModel::refreshAll);
    connect(doc, &SettingsDocument::wordsChanged, this, &ChannelTableModel::refreshAll);
}

int ChannelTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : DocumentData::ChannelCount;
}

int ChannelTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : DocumentData::Cols;
}

QVariant ChannelTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_doc->cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headers[section];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags ChannelTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The channel numbers are a fixed column: shown, never selected.
    if (index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ChannelTableModel::setHeaders(const QStringList& headers)
{
    m_headers = headers;
    m_headers.resize(DocumentData::Cols);
    emit headerDataChanged(Qt::Horizontal, 0, DocumentData::Cols - 1);
}

void ChannelTableModel::refreshAll()
{
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}
