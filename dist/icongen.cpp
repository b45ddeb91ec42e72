// Draws the installed icons from the program's picture: a scalable SVG with
// one square per pixel, and PNG files at the usual theme sizes.
//   padscope-icongen <picture.xpm> <output folder> <icon name>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <array>
#include <cstdio>

namespace {

bool writeSvg(const QImage& image, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << image.width()
        << "\" height=\"" << image.height() << "\" viewBox=\"0 0 " << image.width() << ' '
        << image.height() << "\" shape-rendering=\"crispEdges\">\n";
    // One rectangle for each run of equal pixels along a row.
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            const QRgb colour = image.pixel(x, y);
            int end = x + 1;
            while (end < image.width() && image.pixel(end, y) == colour)
                ++end;
            out << "  <rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
                << "\" height=\"1\" fill=\"" << QColor(colour).name() << "\"/>\n";
            x = end;
        }
    }
    out << "</svg>\n";
    return out.status() == QTextStream::Ok && file.flush();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: padscope-icongen <picture.xpm> <output folder> <icon name>\n", stderr);
        return 2;
    }
    const QImage picture = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) {
        std::fprintf(stderr, "padscope-icongen: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);

    if (!out.mkpath(QStringLiteral("scalable/apps"))
        || !writeSvg(picture, out.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name))))
        return 1;
    constexpr std::array kSizes{16, 22, 24, 32, 48, 64, 128, 256};
    for (int size : kSizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        // Whole multiples keep the pixels sharp; other sizes are smoothed.
        const auto mode = size % picture.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
        const QImage scaled = picture.scaled(size, size, Qt::IgnoreAspectRatio, mode);
        if (!out.mkpath(folder) || !scaled.save(out.filePath(folder + QStringLiteral("/%1.png").arg(name))))
            return 1;
    }
    return 0;
}
