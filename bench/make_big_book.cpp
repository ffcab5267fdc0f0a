// Writes the benchmark book: orvendal-bigbook [path]
#include "support/BigBook.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : DefaultBigBookPath();
    return EnsureBigBook(path) ? 0 : 1;
}
