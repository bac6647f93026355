// The fonts of a form's window: one GDI font per face, height and weight,
// made on first use and deleted with the form.
#pragma once

#include <map>
#include <string>

#include "platform/win32.h"

namespace forms::win32 {

struct ControlFont {
  std::string face;
  int height = 0;
  bool bold = false;

  friend auto operator<=>(const ControlFont&, const ControlFont&) = default;
};

class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  ~FontCache();

  HFONT Get(const ControlFont& wanted);

 private:
  std::map<ControlFont, HFONT> fonts_;
};

}  // namespace forms::win32
