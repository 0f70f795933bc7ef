#include "renderer/cover_monitors.h"

#include <algorithm>

namespace renderer {
namespace {

bool IsEmpty(const ScreenRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void AddOnce(std::vector<ScreenRect>& out, const ScreenRect& r) {
  if (IsEmpty(r)) return;
  if (std::find(out.begin(), out.end(), r) == out.end()) out.push_back(r);
}

}  // namespace

std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors,
                                   const ScreenRect& picture) {
  std::vector<ScreenRect> out;
  for (const ScreenRect& m : monitors) {
    if (IsEmpty(m)) continue;
    const ScreenRect in{std::max(m.Left, picture.Left), std::max(m.Top, picture.Top),
                        std::min(m.Right, picture.Right), std::min(m.Bottom, picture.Bottom)};
    if (IsEmpty(in)) {
      AddOnce(out, m);
      continue;
    }
    AddOnce(out, {m.Left, m.Top, m.Right, in.Top});
    AddOnce(out, {m.Left, in.Bottom, m.Right, m.Bottom});
    AddOnce(out, {m.Left, in.Top, in.Left, in.Bottom});
    AddOnce(out, {in.Right, in.Top, m.Right, in.Bottom});
  }
  return out;
}

}  // namespace renderer
