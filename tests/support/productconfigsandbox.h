#pragma once
// A test fixture that starts and ends without the user's copy of the product
// configuration, so each test sees the shipped defaults and leaves nothing behind.

#include "core/config/productconfig.h"

#include <QFile>

#include <gtest/gtest.h>

class ProductConfigSandbox : public ::testing::Test {
protected:
    void SetUp() override { forget(); }
    void TearDown() override { forget(); }

private:
    static void forget()
    {
        QFile::remove(ProductConfig::userPath());
        ProductConfig::reload();
    }
};
