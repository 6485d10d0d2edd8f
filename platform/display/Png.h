// PNG files of surfaces (screenshots) with libpng: 8-bit RGB out, any
// 8-bit PNG in (alpha kept in the top byte as 0xAARRGGBB).
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/Surface.h"

namespace platform::display {

bool WritePng(const std::string& path, const gdi::Surface& surface);
std::shared_ptr<gdi::Surface> ReadPng(const std::string& path);

}  // namespace platform::display
