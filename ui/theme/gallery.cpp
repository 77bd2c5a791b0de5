// kalvorin_theme_gallery: shows the theme's components (or only the background) in a window, or
// renders them to a PNG and quits. For people working on the look, and for the idle-CPU bench:
//     kalvorin_theme_gallery [--background] [--grab out.png] [page.qml]

#include "kalvorinui.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    QCommandLineParser args;
    args.addHelpOption();
    args.addOption({QStringLiteral("background"), QStringLiteral("Show only KalvorinBackground.")});
    args.addOption({QStringLiteral("grab"), QStringLiteral("Render once, save to <file>, quit."),
                    QStringLiteral("file")});
    args.addPositionalArgument(QStringLiteral("page"),
                               QStringLiteral("QML page to show (default: the gallery)."));
    args.process(app);

    if (!kalvorin::ui::loadFonts())
        qWarning("gallery: a bundled font could not be loaded");

    QQuickView view;
    kalvorin::ui::addImportPaths(*view.engine());
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setColor(Qt::black);
    if (args.isSet(QStringLiteral("background"))) {
        // The bare background, as a screen standing idle shows it.
        QFile page(
            QDir::temp().filePath(QStringLiteral("kalvorin-background-%1.qml").arg(app.applicationPid())));
        if (!page.open(QIODevice::WriteOnly))
            return 1;
        page.write("import QtQuick\nimport Kalvorin.Theme\n"
                   "Item { width: 390; height: 844; LayoutMirroring.enabled: true;"
                   " LayoutMirroring.childrenInherit: true; KalvorinBackground { anchors.fill: parent } }\n");
        page.close();
        view.setSource(QUrl::fromLocalFile(page.fileName()));
        page.remove();
    } else {
        const QStringList pos = args.positionalArguments();
        view.setSource(pos.isEmpty() ? QUrl::fromLocalFile(QStringLiteral(KALVORIN_THEME_GALLERY))
                       : pos.first().startsWith(QLatin1String("qrc:")) ? QUrl(pos.first())
                                                                       : QUrl::fromLocalFile(pos.first()));
    }
    if (view.status() != QQuickView::Ready || !view.rootObject()) {
        for (const auto& e : view.errors())
            qWarning("%s", qPrintable(e.toString()));
        return 1;
    }
    view.resize(int(view.rootObject()->width()), int(view.rootObject()->height()));
    view.show();

    const QString grab = args.value(QStringLiteral("grab"));
    if (!grab.isEmpty()) {
        QTimer::singleShot(400, &app, [&] {
            const bool ok = view.grabWindow().save(grab);
            QCoreApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
