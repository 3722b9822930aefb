// Every test executable links this: the windows it makes need the program's
// images, and by hand it runs without a display like under CTest.
#include "app/Images.h"

#include <QCoreApplication>

namespace {

[[maybe_unused]] const bool offscreenByDefault = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerProgramImages)
