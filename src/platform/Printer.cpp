#include "platform/Printer.h"

#include "platform/Door.h"
#include "platform/SystemPrinter.h"

namespace platform {

namespace {
Door<Printer, SystemPrinter> door;
}

Printer& printer() {
    return door.get();
}

void setPrinter(Printer* replacement) {
    door.install(replacement);
}

} // namespace platform
