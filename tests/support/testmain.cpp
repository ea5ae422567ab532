// Test main for modules without widgets: a QCoreApplication so that event-loop
// dependent code (queued delivery, idle posting) can run, isolated standard paths.
#include "support/processend.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    int code = 0;
    {
        QCoreApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    return endTestProgram(code);
}
