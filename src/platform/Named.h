#pragma once

#include <QObject>
#include <QString>

// Gives a new widget its name, the one the program and the tests know it by.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
