// Draws the desktop icons of tsl from the main window's own 64 x 64 icon artwork: PNG files at
// 48, 64 and 256 pixels and a scalable SVG, in the hicolor theme's layout under the given folder.
#include "frame/images/main_icon.xbm"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <cstdio>

namespace {

bool setBit(int x, int y)
{
    const int bytesPerRow = (main_icon_width + 7) / 8;
    return (main_icon_bits[y * bytesPerRow + x / 8] >> (x % 8)) & 1;
}

QImage artwork()
{
    QImage image(main_icon_width, main_icon_height, QImage::Format_RGB32);
    for (int y = 0; y < main_icon_height; ++y)
        for (int x = 0; x < main_icon_width; ++x)
            image.setPixel(x, y, setBit(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

bool writePng(const QString &root, const QImage &image, int size)
{
    const QString folder = QString("%1/%2x%2/apps").arg(root).arg(size);
    // Enlarged pixel for pixel; made smaller smoothly.
    const Qt::TransformationMode mode = size % main_icon_width == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    return QDir().mkpath(folder) && image.scaled(size, size, Qt::IgnoreAspectRatio, mode).save(folder + "/tsl.png");
}

// One black rectangle for each run of set bits in a row, on a white square.
bool writeSvg(const QString &root)
{
    const QString folder = root + "/scalable/apps";
    QFile file(folder + "/tsl.svg");
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << main_icon_width << "\" height=\""
        << main_icon_height << "\" viewBox=\"0 0 " << main_icon_width << ' ' << main_icon_height
        << "\" shape-rendering=\"crispEdges\">\n"
        << "<rect width=\"" << main_icon_width << "\" height=\"" << main_icon_height << "\" fill=\"#ffffff\"/>\n"
        << "<path fill=\"#000000\" d=\"";
    for (int y = 0; y < main_icon_height; ++y)
        for (int x = 0; x < main_icon_width;) {
            if (!setBit(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < main_icon_width && setBit(x, y))
                ++x;
            out << 'M' << start << ' ' << y << 'h' << x - start << "v1h" << start - x << 'z';
        }
    out << "\"/>\n</svg>\n";
    out.flush();
    return file.error() == QFileDevice::NoError;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: iconmaker FOLDER\n", stderr);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QImage image = artwork();
    for (int size : {48, 64, 256})
        if (!writePng(root, image, size)) {
            std::fprintf(stderr, "iconmaker: cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    if (!writeSvg(root)) {
        std::fputs("iconmaker: cannot write the scalable icon\n", stderr);
        return 1;
    }
    return 0;
}
