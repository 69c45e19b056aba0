#include "app/CSetbridgeApp.h"

int main(int argc, char *argv[])
{
    CSetbridgeApp app(argc, argv);
    return app.InitInstance();
}
