#pragma once
#include <QHash>
#include <QWidget>

struct AppContext;
class PackStrings;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The optional features editor: every radio-wide setting of the document,
// each control bound to its key (its object name is the part of the key
// after "func."). A change takes effect in the document at once, and the
// controls follow the document when Open, a read, New or a language switch
// changes it. Closing the window only hides it.
class OptionsEditor : public QWidget {
    Q_OBJECT
public:
    explicit OptionsEditor(AppContext& ctx, QWidget* parent = nullptr);

    void applyTexts(const PackStrings& t);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildLeftPanel();
    QWidget* buildMiddlePanel();
    QGroupBox* buildVoxGroup();
    QGroupBox* buildPasswordGroup();
    QGroupBox* buildSideKeyGroup();
    QGroupBox* buildLeaseGroup();
    void buildHiddenControls();

    QLabel* label(const char* name, QWidget* parent);
    // The label that names setting `key` in the caption table.
    QLabel* labelFor(const QString& key, QWidget* parent);
    QCheckBox* checkBox(const char* name, QWidget* parent);
    QGroupBox* groupBox(const char* name, QWidget* parent);
    QComboBox* choice(const QString& key, QWidget* parent);
    QCheckBox* flag(const QString& key, QWidget* parent);
    QLineEdit* text(const QString& key, QWidget* parent);
    QSpinBox* number(const QString& key, const char* editName, QWidget* parent);

    void showValue(const QString& key);
    void showOptions(const QString& key);
    void showAll();
    void showChoice(const QString& key);
    void showLease();

    AppContext& m_ctx;
    QHash<QString, QComboBox*> m_choices;
    QHash<QString, QCheckBox*> m_flags;
    QHash<QString, QLineEdit*> m_texts;
    QHash<QString, QSpinBox*> m_numbers;
    bool m_showing = false;   // the document is being shown, not edited
    QString m_unknownTip;     // on a value the document does not know
};
