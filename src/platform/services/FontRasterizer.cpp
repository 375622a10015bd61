// GlyphCanvas on QImage, QFont and QPainter: see FontRasterizer.h.
#include "gfx/services/FontRasterizer.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstring>

namespace gfx {

namespace {

// The embedded faces, each with the system file that stands in when the
// executable carries no copy.
struct FontFile {
    const char* resource;
    const char* systemPath;
};
constexpr FontFile liberationSansFiles[] = {
    {":/FONT/LiberationSans-Regular.ttf",
     "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"},
    {":/FONT/LiberationSans-Bold.ttf",
     "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"},
};

QString registerFontFile(const FontFile& file) {
    for (const char* path : {file.resource, file.systemPath}) {
        QFile source(QString::fromLatin1(path));
        if (!source.open(QIODevice::ReadOnly)) continue;
        const int id = QFontDatabase::addApplicationFontFromData(source.readAll());
        if (id < 0) continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) return families.first();
    }
    return {};
}

// The family that draws "Arial": Liberation Sans as registered by this
// process (once; the font database is process-wide), or the plain family
// name for the system's matching when neither copy could be read.
QString liberationSansFamily() {
    static const QString family = [] {
        QString registered;
        for (const FontFile& file : liberationSansFiles) {
            const QString name = registerFontFile(file);
            if (registered.isEmpty()) registered = name;
        }
        return registered.isEmpty() ? QStringLiteral("Liberation Sans") : registered;
    }();
    return family;
}

QString familyFor(const char* faceName) {
    if (std::strcmp(faceName, "Arial") == 0) return liberationSansFamily();
    return QString::fromLatin1(faceName);
}

} // namespace

struct GlyphCanvas::Impl {
    QImage image;
    QFont font;
    bool hasFont = false;
};

GlyphCanvas::GlyphCanvas(int32_t width, int32_t height) : impl(std::make_unique<Impl>()) {
    impl->image = QImage(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_RGB32);
    impl->image.fill(Qt::black);
}

GlyphCanvas::~GlyphCanvas() = default;

bool GlyphCanvas::selectFont(const char* faceName, int32_t pixelHeight, bool bold, bool italic) {
    impl->hasFont = false;
    if (!faceName || pixelHeight < 1 || !QGuiApplication::instance()) return false;
    QFont font(familyFor(faceName));
    font.setPixelSize(pixelHeight);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    // Grey-scale antialiasing only: the texture keeps one coverage value per
    // texel (the blue channel), so colour fringes would be lost anyway.
    font.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    impl->font = font;
    impl->hasFont = true;
    return true;
}

GlyphExtent GlyphCanvas::measureCharacter(char c) const {
    if (!impl->hasFont) return {};
    const QFontMetrics metrics(impl->font, &impl->image);
    const QChar character = QChar::fromLatin1(c);
    return {metrics.horizontalAdvance(character), metrics.ascent() + metrics.descent()};
}

void GlyphCanvas::drawCharacter(int32_t x, int32_t y, char c) {
    if (!impl->hasFont) return;
    const GlyphExtent extent = measureCharacter(c);
    const QFontMetrics metrics(impl->font, &impl->image);
    QPainter painter(&impl->image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(impl->font);
    painter.fillRect(x, y, extent.cx, extent.cy, Qt::black);
    painter.setPen(Qt::white);
    // Top alignment: the baseline lies one ascent below the cell's top.
    painter.drawText(x, y + metrics.ascent(), QString(QChar::fromLatin1(c)));
}

int32_t GlyphCanvas::width() const {
    return impl->image.width();
}
int32_t GlyphCanvas::height() const {
    return impl->image.height();
}

uint32_t GlyphCanvas::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= impl->image.width() || y >= impl->image.height()) return 0;
    return impl->image.pixel(x, y) & 0x00FFFFFFu;
}

} // namespace gfx
