// The main function of the tests of the program's windows: GoogleTest with
// the program's application object on Qt's offscreen platform.

#include "toolkit/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
