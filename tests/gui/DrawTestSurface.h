// Real device contexts for the drawing tests: a screen-compatible memory bitmap (what the toolkit
// draws into in production) and a plain top-level window, both read back pixel by pixel.
#pragma once

#include <windows.h>

#include "gui/draw/Geometry.h"
#include "host/ModuleInstance.h"

using namespace kelp;

class DrawTestSurface {
public:
    DrawTestSurface(int width, int height, COLORREF colour = 0) : width(width), height(height)
    {
        moduleInstance = GetModuleHandleA(nullptr);
        HDC screen = GetDC(nullptr);
        memory = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previous = SelectObject(memory, bitmap);
        fill(colour);
    }
    ~DrawTestSurface()
    {
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    HDC dc() const { return memory; }
    COLORREF pixel(int x, int y) const { return GetPixel(memory, x, y) & 0xFFFFFF; }
    void fill(COLORREF colour) const
    {
        forEach([&](int x, int y) { SetPixel(memory, x, y, colour); });
    }

    // A different colour in every pixel, so that a pixel kept or copied is recognisable.
    static COLORREF patternAt(int x, int y) { return RGB(40 + 7 * x, 90 + 5 * y, 17 * (x + y) % 256); }
    void fillPattern() const
    {
        forEach([&](int x, int y) { SetPixel(memory, x, y, patternAt(x, y)); });
    }

    int count(COLORREF colour) const
    {
        int n = 0;
        forEach([&](int x, int y) { n += pixel(x, y) == colour; });
        return n;
    }

    // Smallest rectangle holding every pixel of the colour (with matching false: of any other
    // colour), edges inclusive; `nothing` when there is none.
    static constexpr Rect nothing{-1, -1, -1, -1};
    Rect extent(COLORREF colour, bool matching = true) const
    {
        Rect found = nothing;
        forEach([&](int x, int y) {
            if ((pixel(x, y) == colour) != matching)
                return;
            if (found == nothing)
                found = Rect{x, y, x, y};
            found.left = x < found.left ? x : found.left;
            found.right = x > found.right ? x : found.right;
            found.bottom = y;
        });
        return found;
    }

    const int width;
    const int height;

private:
    template <typename Action>
    void forEach(Action action) const
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                action(x, y);
    }

    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// A frameless top-level window; nothing repaints it while a test draws without pumping messages.
struct DrawTestWindow {
    DrawTestWindow(int x, int y, int width, int height)
        : handle(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr, nullptr,
                                 nullptr))
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    ~DrawTestWindow() { DestroyWindow(handle); }
    const HWND handle;
};
