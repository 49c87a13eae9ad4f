// The report's font size by the width of its display, in twips (1/1440 inch).
#pragma once

namespace gui {

inline constexpr int kViewerWidthMargin = 180;   // window width less display width
inline constexpr int kViewerHeightMargin = 850;  // window height less display height

constexpr int FontSizeForDisplayWidth(int displayTwips) {
  if (displayTwips >= 13785) return 14;
  if (displayTwips >= 12240) return 12;
  if (displayTwips >= 10695) return 10;
  return 8;
}

// Pixels to twips at the screen's logical dots per inch (15 at 96 dpi).
constexpr int PixelsToTwips(int pixels, double dotsPerInch) {
  return static_cast<int>(pixels * 1440.0 / dotsPerInch + 0.5);
}

}  // namespace gui
