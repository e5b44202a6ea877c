#include "qt/offscreen_services.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <cerrno>
#include <string>
#include <system_error>

#include "qt/picture_data.h"

namespace verto::qt {

namespace {

// The legend window's default size when it is first opened.
constexpr CellSize kLegendCells{30, 10};

}  // namespace

OffscreenWindowServices::OffscreenWindowServices(std::filesystem::path directory, QSize cell)
    : dir_(std::move(directory)), cell_(cell.expandedTo({1, 1})) {}

OffscreenWindowServices::Child* OffscreenWindowServices::child(ChildWindow w) {
  switch (w) {
    case ChildWindow::Plot:
      return &children_[0];
    case ChildWindow::Legend:
      return &children_[1];
    case ChildWindow::Console:
      break;
  }
  return nullptr;
}

std::string OffscreenWindowServices::picture_name(ChildWindow w, int n) {
  return (w == ChildWindow::Legend ? "VERTOL" : "VERTO") + std::to_string(n) + ".PNG";
}

std::string OffscreenWindowServices::next_name(ChildWindow w) const {
  for (int n = 1; n <= kPictureNames; ++n) {
    std::string name = picture_name(w, n);
    // Any entry counts as taken, a dangling link too.
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(dir_ / name, ec)) && !ec) return name;
  }
  return {};
}

std::optional<CellSize> OffscreenWindowServices::largest_cells(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return std::nullopt;
  return CellSize{kColumns, kRows};
}

std::optional<CellSize> OffscreenWindowServices::current_cells(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return std::nullopt;
  return c->cells;
}

PixelSize OffscreenWindowServices::frame_pixels() {
  return {kColumns * cell_.width(), kRows * cell_.height()};
}

bool OffscreenWindowServices::open(ChildWindow w, std::string_view) {
  Child* c = child(w);
  if (!c) return false;
  c->cells = w == ChildWindow::Legend ? kLegendCells : CellSize{kColumns, kRows};
  c->picture = std::make_unique<PictureWindow>(
      QSize(c->cells.cols * cell_.width(), c->cells.rows * cell_.height()), cell_);
  return true;
}

bool OffscreenWindowServices::configure(ChildWindow w, WindowConfig& request) {
  Child* c = child(w);
  if (!c || !c->picture) return false;
  request.colours = 256;
  request.cols = c->cells.cols;
  request.rows = c->cells.rows;
  request.width_px = c->picture->pixels().width;
  request.height_px = c->picture->pixels().height;
  return true;
}

void OffscreenWindowServices::place(ChildWindow w, int, int, int cols, int rows) {
  Child* c = child(w);
  if (!c || !c->picture || cols < 1 || rows < 1) return;
  c->cells = {cols, rows};
  c->picture->resize(QSize(cols * cell_.width(), rows * cell_.height()));
}

void OffscreenWindowServices::close(ChildWindow w, bool) {
  // A kept window has been saved already; without a screen nothing stays.
  if (Child* c = child(w)) c->picture.reset();
}

GraphicsWindow* OffscreenWindowServices::graphics(ChildWindow w) {
  Child* c = child(w);
  return c ? c->picture.get() : nullptr;
}

Presented OffscreenWindowServices::present(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return {};
  // The picture is encoded in memory first: a full disk then shows as a
  // failed write of our own, not as a message of the image library.
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Fast compression: plot pictures are mostly one background colour.
    writer.setQuality(80);  // zlib level 1
    if (!writer.write(c->picture->picture())) return {Presented::Status::WriteFailed, picture_name(w, 1)};
  }
  // The first free name, created here and never an existing file: a name
  // taken by anything, a dangling link included, is passed over.
  int fd = -1;
  std::string name;
  for (int n = 1; n <= kPictureNames && fd < 0; ++n) {
    name = picture_name(w, n);
    fd = ::open((dir_ / name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST) return {Presented::Status::CannotOpen, name};
  }
  if (fd < 0) return {Presented::Status::NoFreeName, {}};
  const char* data = png.constData();
  auto left = static_cast<std::size_t>(png.size());
  bool ok = true;
  while (ok && left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) {
      data += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    // A half-written picture is not left behind looking like a picture.
    ::unlink((dir_ / name).c_str());
    return {Presented::Status::WriteFailed, name};
  }
  return {Presented::Status::Written, name};
}

void OffscreenWindowServices::focus(ChildWindow) {}

int OffscreenWindowServices::wait_key(ChildWindow) { return 'k'; }

PictureData OffscreenWindowServices::snapshot(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return {};
  return picture_data(c->picture->picture(), c->picture->drawing(),
                      w == ChildWindow::Legend ? "Plot Legend" : "Plot");
}

}  // namespace verto::qt
