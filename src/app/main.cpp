#include "app/CLedgerApp.h"

int main(int argc, char *argv[])
{
    CLedgerApp app(argc, argv);
    return app.InitInstance();
}
