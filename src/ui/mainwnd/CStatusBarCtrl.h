#pragma once

#include <QLabel>
#include <QWidget>

#include <array>

// The main window's status bar: four sunken parts, the first three a fifth
// of the width each, the last one the rest.
class CStatusBarCtrl final : public QWidget
{
    Q_OBJECT

public:
    explicit CStatusBarCtrl(QWidget *parent = nullptr);

    void SetText(int part, const QString &text);
    QString Text(int part) const;
    // A remark at the right end of the last part (the book changed since
    // the query on screen, the server is out of reach); empty removes it.
    void SetNote(const QString &text);
    QString Note() const;
    // Right edges of the parts, in pixels from the bar's left.
    std::array<int, 4> PartEdges() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::array<QLabel *, 4> m_parts{};
    QLabel *m_pNote = nullptr;
};
