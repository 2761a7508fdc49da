#pragma once

#include "common/privatenetwork.h"

#include <QApplication>
#include <QTest>

// Runs a test class with the GUI library's resources, as the program does;
// `isolated` runs it in the private network.
#define VRK6_GUI_TEST_MAIN(TestClass, isolated)                                                    \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (isolated)                                                                              \
            RunInPrivateNetwork(argc, argv);                                                       \
        QApplication app(argc, argv);                                                              \
        Q_INIT_RESOURCE(resources);                                                                \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
