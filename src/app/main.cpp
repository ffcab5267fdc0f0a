#include "app/CLedgerApp.h"

#include <sys/stat.h>

int main(int argc, char *argv[])
{
    // Whatever the program and its libraries make is the owner's alone.
    ::umask(077);
    CLedgerApp app(argc, argv);
    return app.InitInstance();
}
