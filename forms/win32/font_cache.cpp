#include "forms/win32/font_cache.h"

namespace forms::win32 {

FontCache::~FontCache() {
  for (const auto& entry : fonts_) DeleteObject(entry.second);
}

HFONT FontCache::Get(const ControlFont& wanted) {
  const auto found = fonts_.find(wanted);
  if (found != fonts_.end()) return found->second;
  HFONT font = CreateFontA(wanted.height, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, wanted.face.c_str());
  fonts_.emplace(wanted, font);
  return font;
}

}  // namespace forms::win32
