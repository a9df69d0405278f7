#include "gui/userguide.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

UserGuide::UserGuide(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("UserGuide"));
    setModal(false);
    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("GuideText"));
    m_text->setOpenLinks(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_text);
    v->addWidget(buttons);
    resize(640, 560);
}

void UserGuide::showGuide(const QString& caption, const QString& intro, const QList<Section>& sections)
{
    setWindowTitle(caption);
    QString html = QStringLiteral("<p>%1</p>").arg(intro.toHtmlEscaped());
    for (const auto& [heading, paragraphs] : sections) {
        html += QStringLiteral("<h3>%1</h3>").arg(heading.toHtmlEscaped());
        for (const QString& p : paragraphs)
            html += QStringLiteral("<p>%1</p>").arg(p.toHtmlEscaped());
    }
    m_text->setHtml(html);
    show();
    raise();
    activateWindow();
}

QString UserGuide::plainText() const
{
    return m_text->toPlainText();
}
