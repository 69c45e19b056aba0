#include "CSetbridgeApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    CSetbridgeApp app(QApplication::arguments());
    return app.InitInstance();
}
