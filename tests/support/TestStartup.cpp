// Every test executable links this: the windows it makes need the program's
// images, by hand it runs without a display like under CTest, and nothing
// it does touches the user's settings.
#include "app/Images.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace {

[[maybe_unused]] const bool offscreenByDefault = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerProgramImages)
