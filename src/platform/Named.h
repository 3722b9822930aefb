#pragma once

#include <QObject>
#include <QString>

// Gives a new widget (or menu action) its name, the one the program and the
// tests know it by: every named object of the program gets its name here.
template <typename W> W* named(W* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

template <typename W> W* named(W* object, const char* name) {
    return named(object, QLatin1String(name));
}
