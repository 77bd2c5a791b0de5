// Renders the app icon's hicolor sizes from the scalable mark at build time:
//     kalvorin-icon-render MARK.svg OUTDIR SIZE...   → OUTDIR/SIZE.png for each size

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char* argv[]) {
    // A build step has no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: kalvorin-icon-render MARK.svg OUTDIR SIZE...\n");
        return 2;
    }
    QDir().mkpath(args.at(2));
    for (const QString& size : args.mid(3)) {
        const int pixels = size.toInt();
        QImageReader reader(args.at(1));
        reader.setScaledSize(QSize(pixels, pixels));
        const QImage image = reader.read();
        const QString out = QDir(args.at(2)).filePath(size + QStringLiteral(".png"));
        if (pixels <= 0 || image.isNull() || !image.save(out)) {
            std::fprintf(stderr, "kalvorin-icon-render: %s at %s px: %s\n", qPrintable(args.at(1)),
                         qPrintable(size), qPrintable(reader.errorString()));
            return 1;
        }
    }
    return 0;
}
