// Value types of the GUI: positions, areas and colours, plus the named colours.
#pragma once

#include <cstdint>

namespace kelp {

struct Point {
    int32_t h = 0;  // x
    int32_t v = 0;  // y

    bool operator==(const Point&) const = default;
};

inline Point operator+(const Point& a, const Point& b) { return Point{a.h + b.h, a.v + b.v}; }
inline Point operator-(const Point& a, const Point& b) { return Point{a.h - b.h, a.v - b.v}; }

// Nothing keeps left <= right; each operation says how inverted extents behave.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    static Rect fromSize(int32_t x, int32_t y, int32_t width, int32_t height)
    {
        return Rect{x, y, x + width, y + height};
    }

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    Point topLeft() const { return Point{left, top}; }

    void copy(const Rect& from) { *this = from; }

    void offset(int32_t dx, int32_t dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    // Half-open: the right and bottom edges are outside.
    bool pointInside(const Point& p) const { return left <= p.h && p.h < right && top <= p.v && p.v < bottom; }

    // The views' hit test: closed on all four sides.
    bool pointInsideClosed(const Point& p) const { return left <= p.h && p.h <= right && top <= p.v && p.v <= bottom; }

    // The views' overlap test with an update area: touching edges overlap.
    bool overlapsClosed(const Rect& other) const
    {
        return !(other.right < left || right < other.left || other.bottom < top || bottom < other.top);
    }

    bool isEmpty() const { return left >= right || top >= bottom; }

    // Intersection in place; a disjoint pair collapses to an empty rectangle, never an inverted one.
    void clipTo(const Rect& other)
    {
        if (other.left > left)
            left = other.left;
        if (other.top > top)
            top = other.top;
        if (other.right < right)
            right = other.right;
        if (other.bottom < bottom)
            bottom = other.bottom;
        if (bottom < top)
            bottom = top;
        if (right < left)
            right = left;
    }

    bool operator==(const Rect&) const = default;
};

// Byte order matches a Win32 COLORREF (0x00BBGGRR) in the low three bytes.
struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved = 0;

    // The fourth byte never reaches the platform.
    uint32_t platformColor() const { return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16); }

    static Color fromPlatform(uint32_t value)
    {
        return Color{uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), 0};
    }

    bool operator==(const Color&) const = default;
};

inline constexpr Color colorBlack{0, 0, 0, 0};
inline constexpr Color colorWhite{255, 255, 255, 0};
inline constexpr Color colorGrey{127, 127, 127, 0};
inline constexpr Color colorRed{255, 0, 0, 0};
inline constexpr Color colorGreen{0, 255, 0, 0};
inline constexpr Color colorBlue{0, 0, 255, 0};
inline constexpr Color colorYellow{255, 255, 0, 0};
inline constexpr Color colorCyan{0, 255, 255, 0};
inline constexpr Color colorMagenta{255, 0, 255, 0};
// Same value as colorWhite but a separate constant: the default key of every new picture.
inline constexpr Color colorPictureKey{255, 255, 255, 0};

}  // namespace kelp
