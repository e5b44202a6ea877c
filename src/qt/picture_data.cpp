#include "qt/picture_data.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#ifdef VERTO_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace verto::qt {

namespace {

#ifdef VERTO_HAVE_SVG
QByteArray svg_of(const Drawing& drawing, const QString& title) {
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setTitle(title);
  svg.setSize(drawing.pixels());
  svg.setViewBox(QRect(QPoint(0, 0), drawing.pixels()));
  QPainter p;
  if (!p.begin(&svg)) return {};
  drawing.replay(p, QRectF(QPoint(0, 0), drawing.pixels()));
  if (!p.end()) return {};
  return out.data();
}
#endif

}  // namespace

PictureData picture_data(const QImage& image, const Drawing& drawing, const QString& title) {
  if (image.isNull()) return {};
#ifdef VERTO_HAVE_SVG
  if (!drawing.empty() && drawing.pixels() == image.size()) {
    const QByteArray svg = svg_of(drawing, title);
    if (!svg.isEmpty() && svg.size() <= kLargestSvg)
      return {"image/svg+xml", svg.toStdString()};
  }
#else
  (void)drawing;
  (void)title;
#endif
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QImageWriter writer(&out, "png");
  if (!writer.write(image)) return {};
  return {"image/png", out.data().toStdString()};
}

}  // namespace verto::qt
