#include "forms/win32/font_cache.h"

namespace forms::win32 {

FontCache::~FontCache() {
  for (const auto& [spec, font] : fonts_) DeleteObject(font);
}

HFONT FontCache::Get(const FontSpec& spec) {
  const auto found = fonts_.find(spec);
  if (found != fonts_.end()) return found->second;
  HFONT font = CreateFontA(spec.height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           spec.face.c_str());
  fonts_.emplace(spec, font);
  return font;
}

}  // namespace forms::win32
