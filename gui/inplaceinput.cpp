#include "gui/inplaceinput.h"

#include <QRegularExpression>

#include "document/frequency.h"

namespace InPlaceInput {

bool frequencyKeyPasses(const QString& text, QChar ch, QChar sep)
{
    if (ch.isDigit() && ch.unicode() < 128)
        return true;
    if (ch == u'\b')
        return true;
    if (ch == sep)
        return text.size() >= 3 && !text.contains(sep);
    return false;
}

KeyAction toneKey(const QString& text, QChar ch, const QString& offWord, QChar sep)
{
    KeyAction a;
    const bool isOff = !offWord.isEmpty() && text == offWord;
    const bool dcs = text.startsWith(u'D');
    const ushort u = ch.unicode();

    if (ch == u'\b') {
        a.kind = KeyAction::Pass;
        a.clearFirst = isOff;
        return a;
    }
    if (ch == u'D' || ch == u'd') {
        a.kind = KeyAction::Insert;
        a.clearFirst = true;
        a.insert = QStringLiteral("D");
        return a;
    }
    // A digit or separator typed over the off word starts a new tone: the
    // word would otherwise stay in front of it ("OFF8") and never read back.
    const QString t = isOff && (ch.isDigit() || ch == sep) ? QString() : text;
    const bool clear = t.isEmpty() && isOff;
    if (u >= '0' && u <= '7') {
        if (!dcs || t.size() <= 3) {
            a.kind = KeyAction::Pass;
            a.clearFirst = clear;
        }
        return a;
    }
    if (u == '8' || u == '9') {
        if (!dcs || clear) {
            a.kind = KeyAction::Pass;
            a.clearFirst = clear;
        }
        return a;
    }
    if (u == 'N' || u == 'n' || u == 'I' || u == 'i') {
        if (dcs && text.size() == 4) {
            a.kind = KeyAction::Insert;
            a.insert = QString(ch.toUpper());
            a.maxLength = 5;
        }
        return a;
    }
    if (ch == sep) {
        a.clearFirst = clear;
        if (t.size() >= 2 && !t.startsWith(u'D') && !t.contains(sep)) {
            a.kind = KeyAction::Pass;
            a.maxLength = int(t.size()) + 2;
        }
        return a;
    }
    return a;
}

QString normaliseTone(const QString& text, const QString& offWord, QChar sep)
{
    if (text.isEmpty() || text == offWord)
        return offWord;
    if (!text.startsWith(u'D')) {
        const std::optional<double> v = Frequency::parse(text, sep);
        if (!v)
            return offWord;
        const double hz = std::clamp(*v, 55.0, 255.0);
        QString s = QString::asprintf("%.1f", hz);
        s.replace(u'.', sep);
        return s;
    }
    // Only a complete code can be sent to the radio; anything else (a code
    // cut short, or one pasted with stray characters) means no tone.
    static const QRegularExpression dcs(QStringLiteral("^D[0-7]{3}[NI]$"));
    return dcs.match(text).hasMatch() ? text : offWord;
}

QChar toneListKey(QChar ch, QChar sep)
{
    const ushort u = ch.unicode();
    if (u >= '0' && u <= '9')
        return ch;
    if (ch == sep || ch == u'\b')
        return ch;
    if (u == 'd' || u == 'n' || u == 'i' || u == 'D' || u == 'N' || u == 'I')
        return ch.toUpper();
    return {};
}

}
