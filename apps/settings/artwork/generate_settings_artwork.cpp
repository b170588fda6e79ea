// Draws the settings application's pictures: the sidebar logo, the two theme pictures of the
// theme picker and the application icon. Run by the build; the same program always draws the
// same pixels, so the pictures are reproducible from this source.
//
//   generate_settings_artwork OUTPUT_DIRECTORY

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void roundedRect(QPainter& p, const QRectF& r, qreal radius, const QBrush& fill,
                 const QPen& pen = Qt::NoPen) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.setPen(pen);
    p.fillPath(path, fill);
    if (pen.style() != Qt::NoPen) p.drawPath(path);
}

// A taskbar on a tile: the logo and the application icon.
QImage drawLogo(int size) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient tile(0, 0, s, s);
    tile.setColorAt(0, QColor(48, 196, 214));
    tile.setColorAt(1, QColor(10, 102, 230));
    roundedRect(p, QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.22, tile);
    // Highlight across the top.
    QLinearGradient shine(0, s * 0.04, 0, s * 0.5);
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    roundedRect(p, QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.46), s * 0.22, shine);
    // The bar with its icons.
    roundedRect(p, QRectF(s * 0.16, s * 0.62, s * 0.68, s * 0.18), s * 0.09,
                QColor(255, 255, 255, 235));
    const QColor icons[] = {QColor(10, 102, 230), QColor(48, 196, 214), QColor(255, 149, 0),
                            QColor(52, 199, 89)};
    for (int i = 0; i < 4; ++i) {
        roundedRect(p, QRectF(s * (0.23 + i * 0.145), s * 0.655, s * 0.11, s * 0.11), s * 0.03,
                    icons[i]);
    }
    // A window above the bar.
    roundedRect(p, QRectF(s * 0.24, s * 0.2, s * 0.52, s * 0.32), s * 0.05,
                QColor(255, 255, 255, 150));
    roundedRect(p, QRectF(s * 0.24, s * 0.2, s * 0.52, s * 0.07), s * 0.03,
                QColor(255, 255, 255, 210));
    return image;
}

void wallpaper(QPainter& p, const QRectF& r, QColor from, QColor to) {
    QLinearGradient gradient(r.topLeft(), r.bottomRight());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    roundedRect(p, r, r.height() * 0.06, gradient);
    QRadialGradient glow(r.center() + QPointF(r.width() * 0.2, -r.height() * 0.25),
                         r.width() * 0.45);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    roundedRect(p, r, r.height() * 0.06, glow);
}

void desktopWindow(QPainter& p, const QRectF& r, QColor title) {
    roundedRect(p, r.translated(0, 4), 10, QColor(0, 0, 0, 40));
    roundedRect(p, r, 10, QColor(250, 250, 252));
    roundedRect(p, QRectF(r.left(), r.top(), r.width(), 26), 10, title);
    p.fillRect(QRectF(r.left(), r.top() + 16, r.width(), 10), title);
    for (int line = 0; line < 4; ++line) {
        roundedRect(
            p, QRectF(r.left() + 18, r.top() + 44 + line * 18, r.width() * (0.7 - line * 0.1), 8),
            4, QColor(0, 0, 0, 28));
    }
}

// A full-width flat bar along the bottom, square tiles from the left.
QImage drawWindowsTheme(int width, int height) {
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF screen(6, 6, width - 12, height - 12);
    wallpaper(p, screen, QColor(28, 78, 160), QColor(70, 150, 210));
    desktopWindow(
        p,
        QRectF(screen.left() + 80, screen.top() + 40, screen.width() * 0.5, screen.height() * 0.5),
        QColor(232, 236, 242));
    const qreal barHeight = screen.height() * 0.13;
    const QRectF bar(screen.left(), screen.bottom() - barHeight, screen.width(), barHeight);
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(screen, screen.height() * 0.06, screen.height() * 0.06);
    p.setClipPath(clip);
    p.fillRect(bar, QColor(238, 241, 246, 240));
    p.fillRect(QRectF(bar.left(), bar.top(), bar.width(), 1.5), QColor(255, 255, 255, 200));
    p.restore();
    const qreal tile = barHeight * 0.62;
    const qreal y = bar.center().y() - tile / 2;
    // Start button: four squares.
    const qreal startX = bar.left() + 18;
    for (int i = 0; i < 4; ++i) {
        roundedRect(p,
                    QRectF(startX + (i % 2) * tile * 0.52, y + (i / 2) * tile * 0.52, tile * 0.46,
                           tile * 0.46),
                    2, QColor(0, 120, 212));
    }
    const QColor icons[] = {QColor(255, 185, 0), QColor(52, 199, 89), QColor(0, 153, 188),
                            QColor(232, 17, 35), QColor(136, 23, 152)};
    for (int i = 0; i < 5; ++i) {
        const QRectF r(startX + tile * 1.5 + i * tile * 1.35, y, tile, tile);
        roundedRect(p, r, 4, icons[i]);
        if (i == 0) {
            roundedRect(p, QRectF(r.center().x() - tile * 0.3, bar.bottom() - 5, tile * 0.6, 3),
                        1.5, QColor(0, 120, 212));
        }
    }
    // The clock area at the right.
    roundedRect(p, QRectF(bar.right() - 70, bar.center().y() - 7, 52, 5), 2.5, QColor(0, 0, 0, 90));
    roundedRect(p, QRectF(bar.right() - 64, bar.center().y() + 3, 40, 5), 2.5, QColor(0, 0, 0, 60));
    return image;
}

// A centred floating glass capsule with round icons.
QImage drawLiquidGlassTheme(int width, int height) {
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF screen(6, 6, width - 12, height - 12);
    wallpaper(p, screen, QColor(96, 64, 190), QColor(236, 132, 170));
    desktopWindow(p,
                  QRectF(screen.left() + 70, screen.top() + 36, screen.width() * 0.52,
                         screen.height() * 0.52),
                  QColor(240, 240, 246));
    const qreal barHeight = screen.height() * 0.16;
    const qreal barWidth = screen.width() * 0.58;
    const QRectF bar(screen.center().x() - barWidth / 2, screen.bottom() - barHeight - 12, barWidth,
                     barHeight);
    roundedRect(p, bar.translated(0, 3), barHeight / 2, QColor(0, 0, 0, 30));
    QLinearGradient glass(bar.topLeft(), bar.bottomLeft());
    glass.setColorAt(0, QColor(255, 255, 255, 150));
    glass.setColorAt(1, QColor(255, 255, 255, 90));
    roundedRect(p, bar, barHeight / 2, glass, QPen(QColor(255, 255, 255, 200), 1.5));
    const qreal icon = barHeight * 0.64;
    const QColor icons[] = {QColor(10, 132, 255), QColor(255, 159, 10),  QColor(48, 209, 88),
                            QColor(255, 55, 95),  QColor(100, 210, 255), QColor(191, 90, 242)};
    const int count = 6;
    const qreal gap = (bar.width() - 2 * barHeight * 0.3 - count * icon) / (count - 1);
    for (int i = 0; i < count; ++i) {
        const QRectF r(bar.left() + barHeight * 0.3 + i * (icon + gap), bar.center().y() - icon / 2,
                       icon, icon);
        roundedRect(p, r, icon * 0.26, icons[i]);
        roundedRect(p, QRectF(r.left(), r.top(), r.width(), r.height() * 0.45), icon * 0.26,
                    QColor(255, 255, 255, 50));
        if (i == 1) {
            p.setBrush(QColor(30, 30, 30, 170));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(r.center().x(), bar.bottom() - 5), 2.2, 2.2);
        }
    }
    return image;
}

bool save(const QImage& image, const QDir& directory, const char* name) {
    const QString path = directory.filePath(QString::fromUtf8(name) + QStringLiteral(".png"));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "generate_settings_artwork: cannot write %s\n",
                     path.toUtf8().constData());
        return false;
    }
    return true;
}

// A theme picture is shown at most 300 × 180: "<name>.png" has that size, for screens at 1:1,
// and "<name>@2x.png" the drawing itself, for sharper ones. A window at 1:1 then decodes a
// quarter of the pixels when it opens.
bool saveBothResolutions(const QImage& drawing, const QDir& directory, const char* name) {
    const QImage single =
        drawing.scaled(drawing.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return save(single, directory, name) &&
           save(drawing, directory, (QByteArray(name) + "@2x").constData());
}

}  // namespace

namespace {

constexpr char kUsage[] =
    "usage: generate_settings_artwork OUTPUT_DIRECTORY\n"
    "\n"
    "Draws the settings application's pictures (the sidebar logo, the two theme pictures at\n"
    "single and double size, the application icon) into OUTPUT_DIRECTORY, creating it when\n"
    "needed. Needs no display.\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    // Anything else that looks like an option is a mistake, not a directory to create.
    if (argc != 2 || argv[1][0] == '-') {
        if (argc == 2) {
            std::fprintf(stderr, "generate_settings_artwork: unknown option '%s'\n", argv[1]);
        }
        std::fputs("usage: generate_settings_artwork OUTPUT_DIRECTORY\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir directory(QString::fromLocal8Bit(argv[1]));
    if (!directory.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "generate_settings_artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool ok =
        save(drawLogo(128), directory, "StartMenuIcon22_AppLogoSafe") &&
        save(drawLogo(256), directory, "TavrelSettings") &&
        saveBothResolutions(drawWindowsTheme(600, 360), directory, "TaskbarThemeWindowsPreview") &&
        saveBothResolutions(drawLiquidGlassTheme(600, 360), directory,
                            "TaskbarThemeLiquidGlassPreview");
    return ok ? 0 : 1;
}
