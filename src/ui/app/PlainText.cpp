#include "app/PlainText.h"

#include <QWidget>

QString PlainTitle(const QString &title)
{
    QString plain = title;
    // "[*][*]" is how a title says a literal "[*]".
    plain.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return plain;
}

void SetPlainTitle(QWidget *window, const QString &title)
{
    window->setWindowTitle(PlainTitle(title));
}

QString PlainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    // Tool tips have no plain-text switch: always hand them escaped rich text,
    // keeping the text's own blanks and line breaks.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
