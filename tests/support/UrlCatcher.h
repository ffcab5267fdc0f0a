#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Stands in for the desktop's opener while it lives: an xdg-open of its own
// first on the PATH, which notes what the program asks it to open (a web
// page, the help page) and answers with the given exit code — 0 opened,
// 3 "no program found", as the real one says when there is no browser.
class UrlCatcher final
{
public:
    explicit UrlCatcher(int exitCode = 0, bool lingers = false)
        : m_oldPath(qgetenv("PATH"))
    {
        const QString script = QDir(m_dir.path()).filePath(QStringLiteral("xdg-open"));
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the fake xdg-open");
        QByteArray body = "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(Log()) + "'\n";
        if (lingers)
            body += "sleep 10\n"; // a browser kept in the foreground
        if (exitCode != 0)
            body += "echo \"xdg-open: no method available for opening '$1'\" >&2\n";
        body += "exit " + QByteArray::number(exitCode) + "\n";
        file.write(body);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~UrlCatcher() { qputenv("PATH", m_oldPath); }

    // What was handed to the opener, in order.
    QList<QUrl> urls() const
    {
        QList<QUrl> found;
        QFile file(Log());
        if (!file.open(QIODevice::ReadOnly))
            return found;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QString text = QString::fromLocal8Bit(line);
            found << (text.startsWith(u'/') ? QUrl::fromLocalFile(text) : QUrl(text));
        }
        return found;
    }

private:
    QString Log() const { return QDir(m_dir.path()).filePath(QStringLiteral("opened.txt")); }

    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};
