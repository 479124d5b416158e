// The tests' main: the program's compiled dialogs and bitmaps handed to the framework, as the
// program hands them, then GoogleTest.
#include <gtest/gtest.h>

#include "res/compiled_resources.h"

int main(int argc, char** argv)
{
    fw::UseResourceTables(CompiledResources());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
