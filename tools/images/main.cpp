// orbivista-images: the build-time image generator.
//
//     orbivista-images --list resources/images.list --out <folder> [--source <folder>]
//     orbivista-images --icons <folder>
//
// --source names the folder of real maps (openuniverse's textures); when it
// is missing or lacks a map, that map is made procedurally.  --icons writes
// the desktop icons in the icon theme's layout (DesktopIcons.h) instead.
#include "DesktopIcons.h"
#include "Generator.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // image format plugins (JPEG) need it
    QString listPath, outputDir, sourceDir, iconDir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (args[i] == "--list")
            listPath = value, ++i;
        else if (args[i] == "--out")
            outputDir = value, ++i;
        else if (args[i] == "--source")
            sourceDir = value, ++i;
        else if (args[i] == "--icons")
            iconDir = value, ++i;
        else {
            QTextStream(stderr) << "orbivista-images: unknown argument " << args[i] << "\n";
            return 2;
        }
    }
    QTextStream err(stderr);
    if (!iconDir.isEmpty()) {
        QString error;
        if (images::writeDesktopIcons(iconDir, QStringLiteral("orbivista"), &error)) return 0;
        err << "orbivista-images: " << error << "\n";
        return 1;
    }
    if (listPath.isEmpty() || outputDir.isEmpty()) {
        err << "usage: orbivista-images --list <images.list> --out <folder> [--source <folder>]\n"
               "       orbivista-images --icons <folder>\n";
        return 2;
    }
    const images::ImageList list = images::readImageList(listPath);
    if (!list.error.isEmpty()) {
        err << "orbivista-images: " << listPath << ": " << list.error << "\n";
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const images::GeneratorResult result = images::generateImages(list, sourceDir, outputDir);
    if (!result.ok) {
        err << "orbivista-images: " << result.error << "\n";
        return 1;
    }
    int procedural = 0;
    for (const auto& [name, source] : result.sources)
        procedural += source == "procedural";
    QTextStream(stdout) << "orbivista-images: " << list.entries.size() << " images in "
                        << timer.elapsed() << " ms (" << procedural << " procedural)\n";
    return 0;
}
