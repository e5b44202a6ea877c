// The Plot options dialog's pictures come from the plot code: each legend
// corner and each orientation draws a picture of its own.
#include "qt/plot_thumbnails.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "qt_test_support.h"

namespace verto::qt {
namespace {

int lit_pixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) > 40;
  return n;
}

TEST(PlotThumbnails, EachChoiceDrawsItsOwnPicture) {
  verto::testing::qt_app();
  const QSize size(96, 58);
  const QImage up_left = legend_thumbnail(1, size).toImage();
  const QImage low_right = legend_thumbnail(4, size).toImage();
  ASSERT_EQ(up_left.size(), size);
  EXPECT_GT(lit_pixels(up_left), 200) << "frame, points and legend are drawn";
  EXPECT_NE(up_left, low_right) << "the legend moves";
  const QImage front = orientation_thumbnail("/THETA=0", size).toImage();
  const QImage usual = orientation_thumbnail("", size).toImage();
  EXPECT_GT(lit_pixels(front), 100);
  EXPECT_NE(front, usual) << "the view turns";
}

}  // namespace
}  // namespace verto::qt
