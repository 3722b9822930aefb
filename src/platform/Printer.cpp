#include "platform/Printer.h"

#include "platform/SystemPrinter.h"

namespace platform {

namespace {
Printer* installed = nullptr;
}

Printer& printer() {
    static SystemPrinter real;
    return installed ? *installed : real;
}

void setPrinter(Printer* door) {
    installed = door;
}

} // namespace platform
