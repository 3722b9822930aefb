#include "app/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace {
const QString geometryKey = QStringLiteral("MainWindow/geometry");
const QString maximizedKey = QStringLiteral("MainWindow/maximized");
} // namespace

QRect fittedOnto(const QRect& saved, const QRect& available) {
    QRect fitted(saved.topLeft(), saved.size().boundedTo(available.size()));
    fitted.moveLeft(
        std::clamp(fitted.left(), available.left(), available.right() - fitted.width() + 1));
    fitted.moveTop(
        std::clamp(fitted.top(), available.top(), available.bottom() - fitted.height() + 1));
    return fitted;
}

void saveWindowGeometry(const QWidget& window) {
    QSettings settings;
    settings.setValue(geometryKey, window.normalGeometry());
    settings.setValue(maximizedKey, window.isMaximized());
}

bool restoreWindowGeometry(QWidget& window) {
    const QSettings settings;
    const QRect saved = settings.value(geometryKey).toRect();
    if (!saved.isValid())
        return false;
    QScreen* screen = QGuiApplication::screenAt(saved.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    window.setGeometry(fittedOnto(saved, screen->availableGeometry()));
    if (settings.value(maximizedKey).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}
