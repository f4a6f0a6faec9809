#include "AbiHost.h"

#include <gtest/gtest.h>

#include <cstdio>

// abi_tests [gtest options] [path of the plug-in DLL]
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const char* path = argc > 1 ? argv[1] : "BACKTWISTER.dll";
    if (!abitest::loadPlugin(path)) {
        std::fprintf(stderr, "cannot load %s or find its export \"main\"\n", path);
        return 1;
    }
    return RUN_ALL_TESTS();
}
