#include "simulator/program/placement.h"

#include <algorithm>

namespace simprog {
namespace {

constexpr QSize kMainClient(429, 407);
constexpr int kFrameWidth = 2 * 4;
constexpr int kFrameHeight = 2 * 4 + 26;
constexpr int kGap = 12;

}  // namespace

QRect ExpectedMainWindowFrame(const QRect& desktop) {
  const QSize outer = kMainClient + QSize(kFrameWidth, kFrameHeight);
  return QRect(desktop.center() - QPoint(outer.width() / 2, outer.height() / 2), outer);
}

QPoint BesideOf(const QRect& main, const QSize& size, const QRect& desktop) {
  const int right = main.right() + 1 + kGap;
  const int left = main.left() - kGap - size.width();
  const int space_right = desktop.right() + 1 - right;
  const int space_left = main.left() - kGap - desktop.left();
  int x;
  if (space_right >= size.width()) {
    x = right;
  } else if (space_left >= size.width()) {
    x = left;
  } else {
    x = space_right >= space_left ? right : left;
  }
  int y = main.top();
  if (y + size.height() > desktop.bottom() + 1) y = desktop.bottom() + 1 - size.height();
  y = std::max(y, desktop.top());
  return QPoint(x, y);
}

}  // namespace simprog
