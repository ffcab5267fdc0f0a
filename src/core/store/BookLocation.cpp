#include "store/BookLocation.h"

#include <QDir>
#include <QUrl>

#include <libpq-fe.h>

namespace orv {

namespace {

bool isServerUri(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

} // namespace

BookLocation BookLocation::file(const QString &path)
{
    return BookLocation(Kind::File, QDir::cleanPath(QDir(path).absolutePath()));
}

std::optional<BookLocation> BookLocation::parse(const QString &text, const QString &baseDir, QString *problem)
{
    const QString trimmed = text.trimmed();
    auto refuse = [&](const QString &why) -> std::optional<BookLocation> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (trimmed.isEmpty())
        return refuse(QStringLiteral("没有给出帐本的位置。"));
    if (trimmed.contains(QChar(0)) || trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return refuse(QStringLiteral("帐本的位置中含有换行等控制字符。"));
    if (!isServerUri(trimmed))
        return BookLocation::file(QDir(baseDir).absoluteFilePath(trimmed));

    // libpq itself reads the address, so what it accepts here it connects to later.
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(trimmed.toUtf8().constData(), &error);
    if (!options) {
        const QString detail = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        return refuse(QStringLiteral("服务器帐本的地址写得不对（%1）。正确的写法如 postgresql://mama@nas.local/family。")
                          .arg(detail));
    }
    bool hasPassword = false;
    bool hasDatabase = false;
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        if (qstrcmp(option->keyword, "password") == 0)
            hasPassword = true;
        if (qstrcmp(option->keyword, "dbname") == 0)
            hasDatabase = true;
    }
    PQconninfoFree(options);
    if (hasPassword)
        return refuse(QStringLiteral("服务器帐本的地址里不能写密码。请把密码放在 ~/.pgpass 文件里"
                                     "（或用 PGPASSWORD 环境变量），地址里只写用户名。"));
    if (!hasDatabase)
        return refuse(QStringLiteral("服务器帐本的地址里缺少数据库名，例如 postgresql://mama@nas.local/family。"));
    return BookLocation(Kind::Server, trimmed);
}

QString BookLocation::display() const
{
    if (isFile())
        return QDir::toNativeSeparators(m_text);
    const QUrl url(m_text);
    QString where = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    if (url.port() > 0)
        where += u':' + QString::number(url.port());
    return QStringLiteral("%1%2").arg(where, url.path());
}

} // namespace orv
