#pragma once

#include <QApplication>
#include <QNetworkInterface>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

// Re-runs this test inside a private network namespace that has only the
// loopback interface, with multicast routed to it: the discovery engine that
// the windows create then never sends to a real network. Call first in main().
inline void RunInPrivateNetwork(int argc, char **argv)
{
    if (std::getenv("VRK6_PRIVATE_NETWORK"))
        return;
    setenv("VRK6_PRIVATE_NETWORK", "1", 1);
    static const char script[] = "ip link set lo up && ip link set lo multicast on && "
                                 "ip route add 224.0.0.0/4 dev lo && exec \"$@\"";
    std::vector<char *> args{const_cast<char *>("unshare"), const_cast<char *>("-rn"),
                             const_cast<char *>("sh"),      const_cast<char *>("-c"),
                             const_cast<char *>(script),    const_cast<char *>("sh")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("unshare", args.data());
    std::perror("unshare");
    std::exit(EXIT_FAILURE);
}

// True inside the private network: no interface but loopback.
inline bool OnlyLoopback()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    return std::all_of(interfaces.begin(), interfaces.end(), [](const QNetworkInterface &i) {
        return i.type() == QNetworkInterface::Loopback;
    });
}

// Runs a Qt Test class of windows with the resources of the static GUI
// library registered, as the program does.
void InitGuiResources();
template <typename TestClass> int RunGuiTest(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitGuiResources();
    TestClass test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#define VRK6_GUI_TEST_MAIN(TestClass)                                                              \
    void InitGuiResources()                                                                        \
    {                                                                                              \
        Q_INIT_RESOURCE(resources);                                                                \
    }                                                                                              \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return RunGuiTest<TestClass>(argc, argv);                                                  \
    }

// The same inside the private network.
#define VRK6_PRIVATE_NETWORK_TEST_MAIN(TestClass)                                                  \
    void InitGuiResources()                                                                        \
    {                                                                                              \
        Q_INIT_RESOURCE(resources);                                                                \
    }                                                                                              \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        RunInPrivateNetwork(argc, argv);                                                           \
        return RunGuiTest<TestClass>(argc, argv);                                                  \
    }
