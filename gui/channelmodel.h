#pragma once
#include <QAbstractTableModel>
#include <QStringList>

class SettingsDocument;

// The channel table of the settings document as a grid: model row i is
// channel row i + 1; column 0 holds the channel numbers. The header row
// shows the column headers. Every cell is read from the document, so the
// grid always shows what the document holds.
class ChannelTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ChannelTableModel(SettingsDocument* doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setHeaders(const QStringList& headers);
    QStringList headers() const { return m_headers; }

private:
    void refreshAll();

    SettingsDocument* m_doc;
    QStringList m_headers;
};
