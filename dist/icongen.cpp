// Renders the program's scalable picture at the usual theme sizes, each
// drawn from the vector picture itself so that it stays sharp.
//   padscope-icongen <picture.svg> <output folder> <icon name>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <array>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: padscope-icongen <picture.svg> <output folder> <icon name>\n", stderr);
        return 2;
    }
    QSvgRenderer picture(QString::fromLocal8Bit(argv[1]));
    if (!picture.isValid()) {
        std::fprintf(stderr, "padscope-icongen: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);

    constexpr std::array kSizes{16, 22, 24, 32, 48, 64, 128, 256};
    for (int size : kSizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QStringLiteral("/%1.png").arg(name));
        if (!out.mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "padscope-icongen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
