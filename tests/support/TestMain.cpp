#include "app/Images.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

namespace {
struct Registered {
    const char* name;
    testing::Factory factory;
};
std::vector<Registered>& registry() {
    static std::vector<Registered> classes;
    return classes;
}
} // namespace

int testing::registerTestClass(const char* name, Factory factory) {
    registry().push_back({name, std::move(factory)});
    return int(registry().size());
}

// Runs every registered class; "-class Name" picks one, the remaining
// arguments go to Qt Test as usual.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    registerProgramImages();
    QStringList arguments = application.arguments();
    QString only;
    const qsizetype at = arguments.indexOf(QStringLiteral("-class"));
    if (at > 0 && at + 1 < arguments.size()) {
        only = arguments[at + 1];
        arguments.remove(at, 2);
    }
    int failed = 0;
    for (const Registered& entry : registry()) {
        if (!only.isEmpty() && only != QLatin1String(entry.name))
            continue;
        std::unique_ptr<QObject> test(entry.factory());
        failed += QTest::qExec(test.get(), arguments);
    }
    return failed == 0 ? 0 : 1;
}
