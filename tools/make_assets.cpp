// make_assets FOLDER: draws the program's pictures once; their output is
// kept in assets/ and embedded at build time. Rerun only to change them.

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kAccent(249, 159, 8);

QImage Blank(int w, int h, QColor fill = Qt::transparent) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(fill);
  return image;
}

QImage Avatar() {
  QImage image = Blank(76, 76, QColor(255, 255, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(255, 241, 218));
  p.setPen(Qt::NoPen);
  p.drawEllipse(2, 2, 72, 72);
  p.setBrush(kAccent);
  p.drawEllipse(26, 14, 24, 24);
  QPainterPath body;
  body.addRoundedRect(14, 42, 48, 40, 20, 20);
  p.setClipRegion(QRegion(2, 2, 72, 72, QRegion::Ellipse));
  p.drawPath(body);
  return image;
}

QImage Separator() {
  QImage image = Blank(180, 12);
  QPainter p(&image);
  QLinearGradient g(0, 0, 180, 0);
  g.setColorAt(0, QColor(249, 159, 8, 0));
  g.setColorAt(0.5, kAccent);
  g.setColorAt(1, QColor(249, 159, 8, 0));
  p.fillRect(0, 5, 180, 2, g);
  return image;
}

QImage Marker(int size) {
  QImage image = Blank(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(kAccent);
  p.setPen(Qt::NoPen);
  // A lightning bolt, drawn on a 16-unit grid.
  const QPointF bolt[] = {{9.5, 0.5},  {2.5, 9.0}, {7.5, 9.0}, {5.5, 15.5},
                          {13.5, 6.5}, {8.5, 6.5}, {10.5, 0.5}};
  p.scale(size / 16.0, size / 16.0);
  p.drawPolygon(bolt, 7);
  return image;
}

// A 32 x 32, 32-bit icon file: header, one directory entry, the bitmap
// (bottom-up BGRA) and its AND mask; 4286 bytes.
QByteArray Icon(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  QByteArray out;
  auto u16 = [&](int v) { out.append(char(v & 255)).append(char((v >> 8) & 255)); };
  auto u32 = [&](int v) {
    u16(v & 0xFFFF);
    u16((v >> 16) & 0xFFFF);
  };
  u16(0);
  u16(1);
  u16(1);  // icon file with one image
  out.append(char(32)).append(char(32)).append(char(0)).append(char(0));
  u16(1);
  u16(32);
  u32(40 + 32 * 32 * 4 + 32 * 4);
  u32(22);
  u32(40);
  u32(32);
  u32(64);
  u16(1);
  u16(32);
  u32(0);
  u32(32 * 32 * 4);
  u32(0);
  u32(0);
  u32(0);
  u32(0);
  for (int y = 31; y >= 0; --y) {
    for (int x = 0; x < 32; ++x) {
      QRgb c = image.pixel(x, y);
      out.append(char(qBlue(c)))
          .append(char(qGreen(c)))
          .append(char(qRed(c)))
          .append(char(qAlpha(c)));
    }
  }
  out.append(QByteArray(32 * 4, 0));
  return out;
}

QImage AppIcon() {
  QImage image = Blank(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(kAccent);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(1, 1, 30, 30, 7, 7);
  p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(9, 9), QPointF(16, 23), QPointF(23, 9)}));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString dir = argc > 1 ? argv[1] : ".";
  bool ok = Avatar().save(dir + "/avatar.jpg", "JPG", 92) &&
            Separator().save(dir + "/separator.png") && Marker(16).save(dir + "/marker.png") &&
            Blank(4, 16, kAccent).save(dir + "/marker-bar.png") &&
            Blank(8, 1, QColor(238, 238, 238)).save(dir + "/rule.png");
  QFile ico(dir + "/dudivizo.ico");
  ok = ok && ico.open(QIODevice::WriteOnly) && ico.write(Icon(AppIcon())) == 4286;
  return ok ? 0 : 1;
}
