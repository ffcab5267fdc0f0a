#include "mainwnd/CStatusBarCtrl.h"

#include <QResizeEvent>

CStatusBarCtrl::CStatusBarCtrl(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("32792"));
    setAccessibleName(QStringLiteral("状态栏"));
    setAutoFillBackground(true);
    for (size_t i = 0; i < m_parts.size(); ++i) {
        auto *part = new QLabel(this);
        part->setObjectName(QStringLiteral("32792.%1").arg(i));
        part->setFrameShape(QFrame::Panel);
        part->setFrameShadow(QFrame::Sunken);
        part->setIndent(4);
        m_parts[i] = part;
    }
    m_pNote = new QLabel(this);
    m_pNote->setObjectName(QStringLiteral("32792.note"));
    m_pNote->setTextFormat(Qt::PlainText);
    m_pNote->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette red = m_pNote->palette();
    red.setColor(QPalette::WindowText, QColor(180, 0, 0));
    m_pNote->setPalette(red);
    m_pNote->hide();
}

void CStatusBarCtrl::SetNote(const QString &text)
{
    m_pNote->setText(text);
    m_pNote->setVisible(!text.isEmpty());
    m_pNote->raise();
}

QString CStatusBarCtrl::Note() const
{
    return m_pNote->text();
}

void CStatusBarCtrl::SetText(int part, const QString &text)
{
    if (part >= 0 && part < int(m_parts.size()))
        m_parts[size_t(part)]->setText(text);
}

QString CStatusBarCtrl::Text(int part) const
{
    return (part >= 0 && part < int(m_parts.size())) ? m_parts[size_t(part)]->text() : QString();
}

std::array<int, 4> CStatusBarCtrl::PartEdges() const
{
    const int w = width();
    return {w / 5, 2 * (w / 5), 3 * (w / 5), w};
}

void CStatusBarCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const auto edges = PartEdges();
    int left = 0;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        m_parts[i]->setGeometry(left, 2, edges[i] - left - (i + 1 < m_parts.size() ? 2 : 0), height() - 3);
        left = edges[i];
    }
    const int noteLeft = edges[2] + 2;
    m_pNote->setGeometry(noteLeft, 3, width() - noteLeft - 8, height() - 5);
}
