#include "gui/window_placement.h"

#include <climits>
#include <cstdio>

#include <QRect>
#include <QWidget>

#include "shell/profile.h"

namespace tavo::gui {

namespace {

// atoi on text[pos, end): blanks, an optional sign, digits; never past the end.
int AtoiAt(const std::string& text, std::size_t pos) {
  std::size_t i = pos;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long v = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + (text[i++] - '0');
    if (v > INT_MAX) v = INT_MAX;
  }
  return static_cast<int>(negative ? -v : v);
}

int ProfileInt(const tavo::Profile& profile, const char* key) {
  auto v = profile.Get(kPlacementSection, key);
  return v ? AtoiAt(*v, 0) : 0;
}

}  // namespace

std::string FormatRect(const PlacementRecord& rec) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d %04d %04d %04d", rec.left, rec.top, rec.right, rec.bottom);
  return buf;
}

bool ParseRect(const std::string& text, PlacementRecord& rec) {
  // The last number starts at offset 15: a text that ends before it has no
  // fourth number.
  if (text.size() <= 15) return false;
  const int left = AtoiAt(text, 0), top = AtoiAt(text, 5), right = AtoiAt(text, 10), bottom = AtoiAt(text, 15);
  if (right <= left || bottom <= top) return false;
  rec.left = left;
  rec.top = top;
  rec.right = right;
  rec.bottom = bottom;
  return true;
}

PlacementRecord ReadPlacement(const tavo::Profile& profile) {
  PlacementRecord rec;
  if (auto rect = profile.Get(kPlacementSection, "Rect"); rect && !rect->empty()) ParseRect(*rect, rec);
  rec.icon = ProfileInt(profile, "icon") != 0;
  rec.max = ProfileInt(profile, "max") != 0;
  return rec;
}

void WritePlacement(tavo::Profile& profile, const PlacementRecord& rec) {
  profile.Set(kPlacementSection, "Rect", FormatRect(rec));
  profile.Set(kPlacementSection, "icon", rec.icon ? "1" : "0");
  profile.Set(kPlacementSection, "max", rec.max ? "1" : "0");
}

PlacementRecord LoadPlacement(const std::string& profilePath) {
  tavo::Profile profile;
  profile.Load(profilePath);
  return ReadPlacement(profile);
}

bool SavePlacement(const std::string& profilePath, const PlacementRecord& rec) {
  tavo::Profile profile;
  profile.Load(profilePath);
  WritePlacement(profile, rec);
  return profile.Save(profilePath);
}

PlacementRecord CapturePlacement(const QWidget& window) {
  PlacementRecord rec;
  const Qt::WindowStates state = window.windowState();
  // The normal rectangle: the geometry the window has (or would get back)
  // when shown normally.
  const bool normal = !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
  QRect r = normal ? window.geometry() : window.normalGeometry();
  if (!r.isValid()) r = window.geometry();
  rec.left = r.x();
  rec.top = r.y();
  rec.right = r.x() + r.width();
  rec.bottom = r.y() + r.height();
  rec.icon = (state & Qt::WindowMinimized) != 0;
  rec.max = (state & Qt::WindowMaximized) != 0;
  return rec;
}

void ShowWithPlacement(QWidget& window, const PlacementRecord& rec) {
  window.setGeometry(QRect(rec.left, rec.top, rec.right - rec.left, rec.bottom - rec.top));
  if (rec.icon) {
    // Minimised without activation; restoring brings back the maximised state
    // when max is set.
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.setWindowState(rec.max ? (Qt::WindowMinimized | Qt::WindowMaximized) : Qt::WindowMinimized);
    window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, false);
  } else if (rec.max) {
    window.showMaximized();
  } else {
    window.showNormal();
  }
}

}  // namespace tavo::gui
