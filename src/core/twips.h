#pragma once

#include <QPoint>
#include <QSize>
#include <cmath>

namespace vorna {

// Window sizes and places are given in twips: 15 to a pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

inline int twips(int t) {
    return int(std::lround(double(t) / kTwipsPerPixel));
}
inline QSize twipsSize(int width, int height) {
    return {twips(width), twips(height)};
}
inline QPoint twipsPoint(int x, int y) {
    return {twips(x), twips(y)};
}

} // namespace vorna
