#include "platform/forms/win32/bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace forms {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::uint32_t Read32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Size {
  int width, height;
};

Size DrawnSize(const ImageDesign& design, Size picture, Size box) {
  if (design.stretch) return box;
  const bool larger = picture.width > box.width || picture.height > box.height;
  if (!design.proportional || !larger) return picture;
  const double scale = std::min(static_cast<double>(box.width) / picture.width,
                                static_cast<double>(box.height) / picture.height);
  return {std::max(1, static_cast<int>(picture.width * scale)),
          std::max(1, static_cast<int>(picture.height * scale))};
}

}  // namespace

HBITMAP MakeBitmap(const ImageDesign& design, int box_width, int box_height) {
  const unsigned char* file = design.picture.data;
  const std::size_t size = design.picture.size;
  if (file == nullptr || size < kFileHeaderSize + sizeof(BITMAPINFOHEADER) || file[0] != 'B' ||
      file[1] != 'M') {
    return nullptr;
  }
  const std::uint32_t bits_offset = Read32(file + 10);
  if (bits_offset < kFileHeaderSize + sizeof(BITMAPINFOHEADER) || bits_offset >= size) {
    return nullptr;
  }
  // The header and colour table, copied out of the file to an aligned place.
  std::vector<std::uint32_t> info_words((bits_offset - kFileHeaderSize + 3) / 4);
  std::memcpy(info_words.data(), file + kFileHeaderSize, bits_offset - kFileHeaderSize);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(info_words.data());
  const void* bits = file + bits_offset;
  const Size picture{static_cast<int>(info->bmiHeader.biWidth),
                     std::abs(static_cast<int>(info->bmiHeader.biHeight))};
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  const Size drawn = DrawnSize(design, picture, {box_width, box_height});

  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = nullptr;
  if (drawn.width == picture.width && drawn.height == picture.height) {
    bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
  } else {
    bitmap = CreateCompatibleBitmap(screen, drawn.width, drawn.height);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetStretchBltMode(memory, HALFTONE);
    SetBrushOrgEx(memory, 0, 0, nullptr);
    StretchDIBits(memory, 0, 0, drawn.width, drawn.height, 0, 0, picture.width, picture.height,
                  bits, info, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace forms
