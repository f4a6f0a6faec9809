// Cost of the editor through the DLL, as a host sees it: an idle with nothing to draw, an
// idle that redraws the footswitch after a parameter change, and opening plus closing the
// editor in a host window. Reports figures and ratios; asserts nothing.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "host/VstInterface.h"

namespace {

using Clock = std::chrono::steady_clock;
using MainProc = AEffect*(VSTCALL*)(HostCallback);

VstIntPtr VSTCALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// The footswitch's pixels, as the screen shows them, in one number.
unsigned long footswitchPixels()
{
    HDC device = GetDC(nullptr);  // the host window sits at the screen's corner
    unsigned long sum = 0;
    for (int y = 95; y < 165; ++y)
        for (int x = 120; x < 190; ++x)
            sum = sum * 31 + GetPixel(device, x, y);
    ReleaseDC(nullptr, device);
    return sum;
}

template <typename Step>
double microsecondsPer(int count, Step step)
{
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        step(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "BACKTWISTER.dll";
    HMODULE module = LoadLibraryA(path);
    auto mainProc =
        module ? reinterpret_cast<MainProc>(reinterpret_cast<void*>(GetProcAddress(module, "main"))) : nullptr;
    AEffect* effect = mainProc ? mainProc(host) : nullptr;
    if (!effect) {
        std::fprintf(stderr, "cannot create an effect from %s\n", path);
        return 1;
    }
    auto dispatch = [effect](VstInt32 opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    };
    HWND window = CreateWindowExA(0, "STATIC", "bench host", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    dispatch(effEditOpen, window);
    // Idle draws nothing before the window's first paint: give it a second to arrive.
    for (int i = 0; i < 100; ++i) {
        pump();
        dispatch(effEditIdle);
        Sleep(10);
    }

    // Figures from an editor that draws nothing (no display, or a Wine server started without
    // one) would look like a very fast one.
    const unsigned long before = footswitchPixels();
    effect->setParameter(effect, 0, effect->getParameter(effect, 0) < 0.5f ? 1.0f : 0.0f);
    for (int i = 0; i < 30; ++i) {
        pump();
        dispatch(effEditIdle);
        Sleep(10);
    }
    if (footswitchPixels() == before) {
        std::fprintf(stderr, "the editor does not draw: is there a display?\n");
        return 1;
    }

    const double clean = microsecondsPer(20000, [&](int) { dispatch(effEditIdle); });
    const double setOnly = microsecondsPer(2000, [&](int i) { effect->setParameter(effect, 0, float(i & 1)); });
    const double redraw = microsecondsPer(2000, [&](int i) {
        effect->setParameter(effect, 0, float(i & 1));
        dispatch(effEditIdle);
    });
    dispatch(effEditClose);
    const double reopen = microsecondsPer(200, [&](int) {
        dispatch(effEditOpen, window);
        dispatch(effEditClose);
    });

    std::printf("editor through the DLL under Wine:\n");
    std::printf("  idle, nothing dirty:          %9.3f us\n", clean);
    std::printf("  idle redrawing the footswitch: %8.3f us (parameter change excluded; %.0f x the clean idle)\n",
                redraw - setOnly, (redraw - setOnly) / clean);
    std::printf("  open + close of the editor:   %9.1f us\n", reopen);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    DestroyWindow(window);
    return 0;
}
