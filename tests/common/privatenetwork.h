#pragma once

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

// Re-runs the test through netns.sh, in a namespace with only loopback, so that
// discovery traffic never reaches a real network.
inline void RunInPrivateNetwork(int argc, char **argv)
{
    if (std::getenv("VRK6_PRIVATE_NETWORK"))
        return;
    setenv("VRK6_PRIVATE_NETWORK", "1", 1);
    std::vector<char *> args{const_cast<char *>("/bin/sh"),
                             const_cast<char *>(VRK6_SOURCE_DIR "/tests/common/netns.sh")};
    args.insert(args.end(), argv, argv + argc + 1); // with the closing null
    execv("/bin/sh", args.data());
    std::perror("exec netns.sh");
    std::exit(EXIT_FAILURE);
}
