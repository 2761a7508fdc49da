#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The icons live in a static library: their registration must be pulled in.
    Q_INIT_RESOURCE(resources);
    return runApplication(QApplication::arguments());
}
