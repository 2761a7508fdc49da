#pragma once

#include <QApplication>
#include <QNetworkInterface>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

// Re-runs the test in a network namespace with only loopback (multicast routed
// to it): the discovery engine the windows create never reaches a real network.
inline void RunInPrivateNetwork(int argc, char **argv)
{
    if (std::getenv("VRK6_PRIVATE_NETWORK"))
        return;
    setenv("VRK6_PRIVATE_NETWORK", "1", 1);
    std::vector<const char *> args{"unshare", "-rn", "sh", "-c",
                                   "ip link set lo up && ip link set lo multicast on && "
                                   "ip route add 224.0.0.0/4 dev lo && exec \"$@\"",
                                   "sh"};
    args.insert(args.end(), argv, argv + argc + 1); // with the closing null
    execvp("unshare", const_cast<char **>(args.data()));
    std::perror("unshare");
    std::exit(EXIT_FAILURE);
}

inline bool OnlyLoopback()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        if (i.type() != QNetworkInterface::Loopback)
            return false;
    return true;
}

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
