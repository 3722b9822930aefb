#include "app/Images.h"

#include <QtGlobal>

void registerProgramImages() {
    Q_INIT_RESOURCE(images);
}
