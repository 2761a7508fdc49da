#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The icons and translations live in a static library: their registration
    // must be pulled in.
    Q_INIT_RESOURCE(resources);
    if (!hasDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        return runWithoutDisplay(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    return runApplication(QApplication::arguments());
}
