// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's pictures: the toolbar buttons, the pause sign, the tip
// background and the program icon. Run by make-artwork.sh; the PNG files it
// writes are committed, so the build does not need this program.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

const QColor kGreenLight(88, 176, 126);
const QColor kGreenDark(36, 120, 80);
const QColor kRedLight(232, 92, 80);
const QColor kRedDark(178, 44, 40);
const QColor kGreyLight(150, 160, 156);
const QColor kGreyDark(96, 106, 102);

using Draw = std::function<void(QPainter&)>;

// scale > 1 draws the same picture for a screen of that many device pixels
// per logical pixel; size stays the logical size.
bool save(const QString& folder, const QString& name, const QSize& size, const Draw& draw,
          int scale = 1)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);
    p.scale(scale, scale);
    draw(p);
    p.end();
    const QString path = QDir(folder).filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The round button every toolbar picture shares: a disc with a soft shadow
// and a light top edge.
void disc(QPainter& p, const QColor& light, const QColor& dark)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QRectF(2, 3, 28, 28));
    QLinearGradient fill(0, 2, 0, 30);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 1.5, 28, 28));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawArc(QRectF(3, 2.5, 26, 26), 30 * 16, 120 * 16);
}

QPen glyphPen(qreal width = 2.0)
{
    QPen pen(Qt::white, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void speaker(QPainter& p)
{
    QPainterPath body;
    body.moveTo(8, 13);
    body.lineTo(12, 13);
    body.lineTo(17, 8.5);
    body.lineTo(17, 23.5);
    body.lineTo(12, 19);
    body.lineTo(8, 19);
    body.closeSubpath();
    p.setPen(glyphPen(1.0));
    p.setBrush(Qt::white);
    p.drawPath(body);
}

void soundOn(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    speaker(p);
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(1.8));
    p.drawArc(QRectF(15, 12, 8, 8), -50 * 16, 100 * 16);
    p.drawArc(QRectF(13, 9, 14, 14), -50 * 16, 100 * 16);
}

void soundOff(QPainter& p)
{
    disc(p, kGreyLight, kGreyDark);
    speaker(p);
    p.setPen(glyphPen(2.0));
    p.drawLine(QPointF(20, 13), QPointF(25, 19));
    p.drawLine(QPointF(25, 13), QPointF(20, 19));
}

void microphone(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(13, 7, 6, 11), 3, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(1.8));
    p.drawArc(QRectF(10, 9, 12, 12), 180 * 16, 180 * 16);
    p.drawLine(QPointF(16, 21), QPointF(16, 24.5));
    p.drawLine(QPointF(12.5, 24.5), QPointF(19.5, 24.5));
}

void recordIdle(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    microphone(p);
}

void recording(QPainter& p)
{
    disc(p, kRedLight, kRedDark);
    microphone(p);
}

void playing(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    QPainterPath triangle;
    triangle.moveTo(13, 9.5);
    triangle.lineTo(23, 15.5);
    triangle.lineTo(13, 21.5);
    triangle.closeSubpath();
    p.setPen(glyphPen(1.5));
    p.setBrush(Qt::white);
    p.drawPath(triangle);
}

void paused(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(11, 9.5, 3.5, 12), 1, 1);
    p.drawRoundedRect(QRectF(17.5, 9.5, 3.5, 12), 1, 1);
}

void stopped(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    // Stopped: a replay arrow, since a click plays the recording again.
    p.setBrush(Qt::NoBrush);
    p.setPen(glyphPen(2.0));
    p.drawArc(QRectF(10, 9.5, 12, 12), 120 * 16, 290 * 16);
    QPainterPath head;
    head.moveTo(9.5, 8.5);
    head.lineTo(14.5, 11);
    head.lineTo(10, 14);
    head.closeSubpath();
    p.setPen(glyphPen(1.0));
    p.setBrush(Qt::white);
    p.drawPath(head);
}

void layoutFloating(QPainter& p)
{
    // The form walks up and down the screen: a double arrow.
    disc(p, kGreenLight, kGreenDark);
    p.setPen(glyphPen(2.0));
    p.drawLine(QPointF(16, 9), QPointF(16, 22));
    p.drawLine(QPointF(12, 12.5), QPointF(16, 8.5));
    p.drawLine(QPointF(20, 12.5), QPointF(16, 8.5));
    p.drawLine(QPointF(12, 18.5), QPointF(16, 22.5));
    p.drawLine(QPointF(20, 18.5), QPointF(16, 22.5));
}

void layoutFixed(QPainter& p)
{
    // The form stays put: a pin.
    disc(p, kGreenLight, kGreenDark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(12, 7, 8, 8));
    QPainterPath body;
    body.moveTo(13.5, 13);
    body.lineTo(18.5, 13);
    body.lineTo(21, 18);
    body.lineTo(11, 18);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(glyphPen(1.8));
    p.drawLine(QPointF(16, 18), QPointF(16, 24.5));
}

void notebook(QPainter& p)
{
    disc(p, kGreenLight, kGreenDark);
    p.setPen(glyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(9.5, 8, 13, 16), 1.5, 1.5);
    p.drawLine(QPointF(12, 8), QPointF(12, 24));
    p.setPen(glyphPen(2.0));
    p.drawLine(QPointF(17.25, 12.5), QPointF(17.25, 19.5));
    p.drawLine(QPointF(13.75, 16), QPointF(20.75, 16));
}

void pauseSign(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 130));
    p.drawEllipse(QRectF(4, 4, 120, 120));
    p.setPen(QPen(QColor(255, 255, 255, 200), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6, 6, 116, 116));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(42, 34, 15, 60), 4, 4);
    p.drawRoundedRect(QRectF(71, 34, 15, 60), 4, 4);
}

void tipBackground(QPainter& p)
{
    // Stretched to each tip's width, so it only varies from top to bottom.
    const QRectF box(0.5, 0.5, 119, 41);
    QLinearGradient fill(0, 0, 0, 42);
    fill.setColorAt(0, QColor(52, 66, 74, 238));
    fill.setColorAt(1, QColor(26, 34, 40, 238));
    p.setPen(QPen(QColor(128, 255, 255, 70), 1));
    p.setBrush(fill);
    p.drawRoundedRect(box, 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(116, 1.5));
}

// The character for "listen" as an outline, placed on the 256-pixel icon.
QPainterPath listenGlyph()
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    font.setWeight(QFont::Bold);
    font.setPixelSize(140);
    QPainterPath glyph;
    glyph.addText(0, 0, font, QString::fromUtf8("听"));
    const QRectF bounds = glyph.boundingRect();
    glyph.translate(106 - bounds.center().x(), 128 - bounds.center().y());
    return glyph;
}

void programIcon(QPainter& p, int size)
{
    const qreal s = size / 256.0;
    p.scale(s, s);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(14, 18, 232, 232), 52, 52);
    QLinearGradient fill(0, 8, 0, 244);
    fill.setColorAt(0, QColor(110, 196, 140));
    fill.setColorAt(1, QColor(30, 112, 74));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(10, 10, 236, 232), 52, 52);
    // The character for "listen", with sound waves coming to it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 11, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(164, 100, 56, 56), -45 * 16, 90 * 16);
    p.setPen(QPen(QColor(255, 255, 255, 100), 11, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(140, 76, 104, 104), -42 * 16, 84 * 16);
    const QPainterPath glyph = listenGlyph();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(glyph.translated(0, 4));
    p.setBrush(Qt::white);
    p.drawPath(glyph);
}

// A path as SVG path data, in the coordinates it was built in.
QString svgPathData(const QPainterPath& path)
{
    QString d;
    const auto num = [](qreal v) { return QString::number(v, 'f', 2); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(end.x), num(end.y));
            i += 2;
        }
    }
    return d;
}

QPainterPath arcPath(const QRectF& box, qreal startDegrees, qreal sweepDegrees)
{
    QPainterPath arc;
    arc.arcMoveTo(box, startDegrees);
    arc.arcTo(box, startDegrees, sweepDegrees);
    return arc;
}

// The program icon of programIcon as a scalable picture, shape for shape.
bool saveIconSvg(const QString& folder, const QString& name)
{
    QPainterPath shadow;
    shadow.addRoundedRect(QRectF(14, 18, 232, 232), 52, 52);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(10, 10, 236, 232), 52, 52);
    const QPainterPath glyph = listenGlyph();
    QString svg;
    svg += QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- SPDX-License-Identifier: GPL-3.0-or-later -->\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n"
        "<defs><linearGradient id=\"fill\" x1=\"0\" y1=\"8\" x2=\"0\" y2=\"244\" "
        "gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\" stop-color=\"#6ec48c\"/>"
        "<stop offset=\"1\" stop-color=\"#1e704a\"/></linearGradient></defs>\n");
    svg += QStringLiteral("<path fill=\"#000\" fill-opacity=\"0.157\" d=\"%1\"/>\n")
               .arg(svgPathData(shadow));
    svg += QStringLiteral("<path fill=\"url(#fill)\" d=\"%1\"/>\n").arg(svgPathData(tile));
    svg += QStringLiteral("<path fill=\"none\" stroke=\"#fff\" stroke-opacity=\"0.667\" "
                          "stroke-width=\"11\" stroke-linecap=\"round\" d=\"%1\"/>\n")
               .arg(svgPathData(arcPath(QRectF(164, 100, 56, 56), -45, 90)));
    svg += QStringLiteral("<path fill=\"none\" stroke=\"#fff\" stroke-opacity=\"0.392\" "
                          "stroke-width=\"11\" stroke-linecap=\"round\" d=\"%1\"/>\n")
               .arg(svgPathData(arcPath(QRectF(140, 76, 104, 104), -42, 84)));
    svg += QStringLiteral("<path fill=\"#000\" fill-opacity=\"0.176\" d=\"%1\"/>\n")
               .arg(svgPathData(glyph.translated(0, 4)));
    svg += QStringLiteral("<path fill=\"#fff\" d=\"%1\"/>\n</svg>\n").arg(svgPathData(glyph));
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(svg.toUtf8()) < 0 || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QSize button(32, 32);
    bool ok = true;
    ok &= save(out, "202.png", button, recordIdle);
    ok &= save(out, "203.png", button, recording);
    ok &= save(out, "204.png", button, playing);
    ok &= save(out, "205.png", button, paused);
    ok &= save(out, "206.png", button, stopped);
    ok &= save(out, "225.png", button, soundOn);
    ok &= save(out, "226.png", button, soundOff);
    ok &= save(out, "227.png", button, layoutFloating);
    ok &= save(out, "228.png", button, layoutFixed);
    ok &= save(out, "241.png", button, notebook);
    ok &= save(out, "257.png", QSize(128, 128), pauseSign);
    ok &= save(out, "260.png", QSize(120, 42), tipBackground);
    // The same pictures at twice the pixels, for desktops scaled by 2 (and
    // anything above 1.5, where halving them is sharper than doubling).
    const std::pair<const char*, Draw> sharp[] = {
        {"202", recordIdle},    {"203", recording},     {"204", playing},
        {"205", paused},        {"206", stopped},       {"225", soundOn},
        {"226", soundOff},      {"227", layoutFloating}, {"228", layoutFixed},
        {"241", notebook}};
    for (const auto& [name, draw] : sharp)
        ok &= save(out, QStringLiteral("%1@2x.png").arg(QLatin1String(name)), button, draw, 2);
    ok &= save(out, "257@2x.png", QSize(128, 128), pauseSign, 2);
    ok &= save(out, "260@2x.png", QSize(120, 42), tipBackground, 2);
    ok &= save(out, "dictora.png", QSize(256, 256), [](QPainter& p) { programIcon(p, 256); });
    ok &= save(out, "dictora-48.png", QSize(48, 48), [](QPainter& p) { programIcon(p, 48); });
    // The icon theme's sizes for the desktop, and the scalable icon.
    const QString icons = QDir(out).filePath(QStringLiteral("../icons"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        ok &= QDir().mkpath(icons);
        ok &= save(icons, QStringLiteral("%1.png").arg(size), QSize(size, size),
                   [size](QPainter& p) { programIcon(p, size); });
    }
    ok &= saveIconSvg(icons, QStringLiteral("scalable.svg"));
    return ok ? 0 : 1;
}
