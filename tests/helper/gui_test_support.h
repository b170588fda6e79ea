#pragma once

// A QGuiApplication for the whole test program (offscreen), pictures on disk, and reading
// pixels of a tile by point coordinates.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QColor>
#include <QGuiApplication>
#include <QImage>

#include "platform/dock_tile.h"

namespace tavrel::testing {

inline QGuiApplication& guiApplication() {
    static int argc = 1;
    static char name[] = "tavrel-helper-test";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    return *static_cast<QGuiApplication*>(QGuiApplication::instance());
}

// A fresh directory under the test's private HOME.
inline std::filesystem::path freshDirectory(const std::string& name) {
    const auto path = std::filesystem::path(std::getenv("HOME")) / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

inline void writePicture(const std::filesystem::path& path, const QColor& color, int side = 64) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    image.save(QString::fromStdString(path.string()), "PNG");
}

// The pixel under the point (x, y) of an image whose device pixel ratio maps points to pixels.
inline QColor pointColor(const QImage& image, double x, double y) {
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(std::floor(x * ratio)),
                            static_cast<int>(std::floor(y * ratio)));
}

inline QColor pointColor(const platform::DockTileImage& image, double x, double y) {
    const double ratio = image.pixelWidth() / image.pointWidth();
    const std::uint32_t argb = image.pixel(static_cast<int>(std::floor(x * ratio)),
                                           static_cast<int>(std::floor(y * ratio)));
    return QColor::fromRgba(qUnpremultiply(argb));
}

// Close in every channel (8-bit units).
inline bool near(const QColor& actual, const QColor& expected, int tolerance = 3) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

}  // namespace tavrel::testing
