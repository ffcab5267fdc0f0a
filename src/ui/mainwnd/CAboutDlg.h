#pragma once

#include <QDialog>

class CHyperLink;
class QLabel;
class QPushButton;

// The About box: program icon, name and version, a line linking to the
// program's home page, and "确定". White, with black text.
class CAboutDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    CHyperLink *HomePageLink() const { return m_pLink; }

    static QString HomePage();

private:
    CHyperLink *m_pLink = nullptr;
};
