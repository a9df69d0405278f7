#pragma once
#include <QObject>
#include <QString>

class QLineEdit;

// Lets only the given characters be typed into a line edit (and pasted:
// a validator holds the same rule). Backspace, caret keys and short-cuts
// pass. With upperCase, lower-case letters whose capital is allowed are
// entered as that capital.
class KeyFilter : public QObject {
public:
    KeyFilter(QLineEdit* edit, const QString& allowed, bool upperCase = false);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QLineEdit* m_edit;
    QString m_allowed;
    bool m_upperCase;
};
