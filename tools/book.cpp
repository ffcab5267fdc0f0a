// orvendal-book: makes a book on a PostgreSQL server, and copies a whole book
// between a file and a server in either direction (also how a server book
// is archived into a file).
//
//   orvendal-book create URI [--user NAME]
//   orvendal-book copy FROM TO [--replace]
//
// The first user's password is asked on the terminal (or read from the
// first line of standard input when that is not a terminal); it is stored
// as a hash. A server's own password comes from ~/.pgpass or PGPASSWORD.

#include "store/BookLocation.h"
#include "store/BookSchema.h"
#include "book/BookTransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int usage()
{
    say(QStringLiteral("用法：\n"
                       "  orvendal-book create URI [--user 用户名]\n"
                       "      在空的 PostgreSQL 数据库里建立帐本（默认用户“管理员”，密码在终端输入）\n"
                       "  orvendal-book copy 来源 目标 [--replace]\n"
                       "      把整个帐本从文件复制到服务器，或从服务器复制到文件\n"
                       "      （来源和目标都可以是 postgresql:// 地址或 .ovd 文件）"));
    return 2;
}

// A line from the terminal without echo, or from standard input.
QString readSecret(const QString &prompt)
{
    const bool terminal = ::isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fprintf(stderr, "%s", prompt.toLocal8Bit().constData());
        ::tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fprintf(stderr, "\n");
    }
    return QString::fromLocal8Bit(line.c_str());
}

std::optional<orv::BookLocation> locationOf(const QString &text)
{
    QString problem;
    auto location = orv::BookLocation::parse(text, QDir::currentPath(), &problem);
    if (!location)
        say(problem);
    return location;
}

QString reasonOf(const orv::DbError &error)
{
    switch (error.cause) {
    case orv::DbError::Cause::ServerDown: return QStringLiteral("连接不上服务器（服务器没有运行，或地址不对）。");
    case orv::DbError::Cause::PasswordRejected:
        return QStringLiteral("服务器没有接受密码（或没有找到密码，请检查 ~/.pgpass）。");
    case orv::DbError::Cause::PermissionDenied: return QStringLiteral("服务器拒绝了访问：数据库不存在，或没有权限。");
    case orv::DbError::Cause::BadAddress: return QStringLiteral("帐本的地址写得不对。");
    case orv::DbError::Cause::NotABook: return QStringLiteral("这里不是帐本。");
    case orv::DbError::Cause::NewerLayout: return QStringLiteral("这个帐本是较新版本的程序建立的。");
    case orv::DbError::Cause::Missing: return QStringLiteral("找不到帐本文件。");
    default: return {};
    }
}

int fail(const orv::DbError &error)
{
    const QString reason = reasonOf(error);
    say(reason.isEmpty() ? error.message : reason + QStringLiteral("（") + error.message + QStringLiteral("）"));
    return 1;
}

int create(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    const auto location = locationOf(args.first());
    if (!location)
        return 1;
    if (!location->isServer()) {
        say(QStringLiteral("create 只用于服务器帐本；文件帐本请从 NewBook.ovd 复制。"));
        return 2;
    }
    QString user = QStringLiteral("管理员");
    const qsizetype userOption = args.indexOf(QStringLiteral("--user"));
    if (userOption > 0 && userOption + 1 < args.size())
        user = args.at(userOption + 1);
    const QString password = readSecret(QStringLiteral("“%1”的密码：").arg(user));
    if (::isatty(STDIN_FILENO) && readSecret(QStringLiteral("再输入一次：")) != password) {
        say(QStringLiteral("两次输入的密码不同!"));
        return 1;
    }
    const orv::DbStatus made = orv::BookSchema::createServerBook(location->uri(), {{user, password}});
    if (!made)
        return fail(made.error());
    say(QStringLiteral("帐本已建立：%1（用户“%2”）").arg(location->display(), user));
    return 0;
}

int copy(const QStringList &args)
{
    QStringList places = args;
    const bool replace = places.removeAll(QStringLiteral("--replace")) > 0;
    if (places.size() != 2)
        return usage();
    const auto from = locationOf(places.at(0));
    const auto to = locationOf(places.at(1));
    if (!from || !to)
        return 1;
    if (*from == *to) {
        say(QStringLiteral("来源和目标是同一个帐本。"));
        return 2;
    }
    qint64 lastShown = -1;
    const orv::DbStatus copied = orv::BookTransfer::copyWholeBook(*from, *to, replace, [&](qint64 done, qint64 total) {
        const qint64 percent = total > 0 ? done * 100 / total : 100;
        if (percent != lastShown && ::isatty(STDERR_FILENO))
            std::fprintf(stderr, "\r%lld%%", static_cast<long long>(percent));
        lastShown = percent;
        return true;
    });
    if (::isatty(STDERR_FILENO))
        std::fprintf(stderr, "\r");
    if (!copied)
        return fail(copied.error());
    say(QStringLiteral("已复制：%1 → %2").arg(from->display(), to->display()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString verb = args.takeFirst();
    if (verb == QLatin1String("create"))
        return create(args);
    if (verb == QLatin1String("copy"))
        return copy(args);
    return usage();
}
