// Native handles cross the toolkit's API as opaque values; only the platform files (the .cpp
// files that include <windows.h>) know what is behind them. On Windows each is the handle
// named beside it, converted with static_cast in the platform files.
#pragma once

namespace kelp {

using NativeWindow = void*;   // HWND
using NativeSurface = void*;  // HDC: a device context to draw into
using NativeBitmap = void*;   // HBITMAP
using NativeObject = void*;   // HGDIOBJ: a pen, brush, font, region or menu
using NativeModule = void*;   // HMODULE

}  // namespace kelp
