// Writes NewBook.ovd (the empty-book template), Orvendal.ovd (the starter
// book with one user, whose password the book keeps as a hash) and set.ini
// (login dialog first, that user proposed) into the folder named on the
// command line.

#include "settings/GbkText.h"
#include "store/BookSchema.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvendal-mkbook <folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char *file;
        QList<orv::BookSchema::StarterUser> users;
    } books[] = {
        {"NewBook.ovd", {}},
        {"Orvendal.ovd", {{QStringLiteral("管理员"), QStringLiteral("123456")}}},
    };
    for (const auto &book : books) {
        const QString path = dir.filePath(QString::fromLatin1(book.file));
        const orv::DbStatus made = orv::BookSchema::createBook(path, book.users);
        if (!made) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(made.error().message));
            return 1;
        }
    }
    const orv::FileOutcome settings =
        orv::writeGbkLines(dir.filePath(QStringLiteral("set.ini")), {QStringLiteral("0"), QStringLiteral("管理员")});
    if (!settings) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(settings.path), qPrintable(settings.error));
        return 1;
    }
    return 0;
}
