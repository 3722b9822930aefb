#pragma once

#include <QObject>

#include <functional>

// Each test folder is one executable holding several test classes; a class
// registers itself with ORVANTA_TEST and the shared main() runs them all.
namespace testing {
using Factory = std::function<QObject*()>;
int registerTestClass(const char* name, Factory factory);
} // namespace testing

#define ORVANTA_TEST(Class)                                                                        \
    static const int Class##Registered =                                                           \
        testing::registerTestClass(#Class, [] { return static_cast<QObject*>(new Class); });
