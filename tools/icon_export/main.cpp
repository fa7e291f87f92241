// icon-export: writes the programs' menu icons, drawn by the same code as the window icons, into
// an icon theme tree: OUT/hicolor/NxN/apps/NAME.png for the usual sizes and, when built with
// Qt SVG, OUT/hicolor/scalable/apps/NAME.svg. Run at build time; not installed.
//
//   icon-export OUT_DIR

#include "drawn_icons.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>
#ifdef VORNA_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace {

struct MenuIcon {
    const char* name; // the Icon= of the menu entries
    const char* key;  // the drawn picture
};
constexpr MenuIcon kIcons[] = {{"vorna-report", "installation"},
                               {"vorna-report-uploader", "firmware"}};
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool fail(const QString& what) {
    std::fprintf(stderr, "icon-export: cannot write %s\n", qPrintable(what));
    return false;
}

QString themeFolder(const QString& out, const QString& size) {
    const QString dir = out + QStringLiteral("/hicolor/") + size + QStringLiteral("/apps");
    QDir().mkpath(dir);
    return dir;
}

bool writePng(const QString& out, const MenuIcon& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.scale(size / double(vorna::kDrawnIconCanvas), size / double(vorna::kDrawnIconCanvas));
        if (!vorna::paintDrawnIcon(p, QString::fromLatin1(icon.key)))
            return fail(QStringLiteral("unknown picture ") + icon.key);
    }
    const QString file = themeFolder(out, QStringLiteral("%1x%1").arg(size)) + '/' + icon.name +
                         QStringLiteral(".png");
    return image.save(file, "PNG") || fail(file);
}

#ifdef VORNA_HAVE_SVG
bool writeSvg(const QString& out, const MenuIcon& icon) {
    const QString file =
        themeFolder(out, QStringLiteral("scalable")) + '/' + icon.name + QStringLiteral(".svg");
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setTitle(QString::fromLatin1(icon.name));
    svg.setSize(QSize(vorna::kDrawnIconCanvas, vorna::kDrawnIconCanvas));
    svg.setViewBox(QRect(0, 0, vorna::kDrawnIconCanvas, vorna::kDrawnIconCanvas));
    QPainter p;
    if (!p.begin(&svg)) return fail(file);
    vorna::paintDrawnIcon(p, QString::fromLatin1(icon.key));
    return p.end() || fail(file);
}
#endif

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: icon-export OUT_DIR\n");
        return 2;
    }
    const QString out = args[1];
    for (const MenuIcon& icon : kIcons) {
        for (int size : kSizes)
            if (!writePng(out, icon, size)) return 1;
#ifdef VORNA_HAVE_SVG
        if (!writeSvg(out, icon)) return 1;
#endif
    }
    return 0;
}
