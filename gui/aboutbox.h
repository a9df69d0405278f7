#pragma once
#include <QDialog>

class PackStrings;
class QLabel;
class QPushButton;

// The About window: program icon, product, version, rights and maker lines.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    void applyTexts(const PackStrings& t);

private:
    QLabel* m_product;
    QLabel* m_version;
    QLabel* m_rights;
    QLabel* m_maker;
    QPushButton* m_ok;
};
