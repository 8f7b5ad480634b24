#include "base/Dpi.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

namespace tervane {

int MulDivRounded(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > INT_MAX || result < -INT_MAX)
        return -1;
    return static_cast<int>(result);
}

int ScaleToDpi(int length, int dpi) {
    if (dpi <= 0 || dpi == kDesignDpi)
        return length;
    return MulDivRounded(length, dpi, kDesignDpi);
}

int ImageDpiIndex(int dpi) {
    int index = 0;
    for (int i = 0; i < static_cast<int>(std::size(kImageDpis)); ++i) {
        if (kImageDpis[i] <= dpi)
            index = i;
    }
    return index;
}

int FittingFontHeight(int designHeight, int designWidth, int dpi,
                      const std::function<int(int height)>& widthAt) {
    const int scaled = ScaleToDpi(designHeight, dpi);
    if (dpi <= kDesignDpi)
        return scaled;
    const int room = ScaleToDpi(designWidth, dpi);
    for (int height = scaled; height > designHeight; --height) {
        if (widthAt(height) <= room)
            return height;
    }
    return designHeight;
}

PixelRect ScalePlace(PixelRect place, int dpi) {
    return {ScaleToDpi(place.left, dpi), ScaleToDpi(place.top, dpi), ScaleToDpi(place.right, dpi),
            ScaleToDpi(place.bottom, dpi)};
}

const ScreenMonitor& MonitorUnder(int x, int y, std::span<const ScreenMonitor> monitors) {
    // The distance from the point to a monitor's area: 0 inside it.
    const auto distance = [x, y](const PixelRect& r) {
        const std::int64_t dx = x < r.left ? r.left - x : x >= r.right ? x - r.right + 1 : 0;
        const std::int64_t dy = y < r.top ? r.top - y : y >= r.bottom ? y - r.bottom + 1 : 0;
        return dx * dx + dy * dy;
    };
    return *std::min_element(monitors.begin(), monitors.end(),
                             [&](const ScreenMonitor& a, const ScreenMonitor& b) {
                                 return distance(a.area) < distance(b.area);
                             });
}

PixelRect PlaceAfterDpiChange(PixelRect suggested, int ownWidth, int ownHeight) {
    if (ownWidth <= 0 || ownHeight <= 0)
        return suggested;
    return {suggested.left, suggested.top, suggested.left + ownWidth, suggested.top + ownHeight};
}

int DpiOfDpiChange(unsigned long firstParameter) {
    const int dpi = static_cast<int>(firstParameter & 0xFFFF);
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace tervane
