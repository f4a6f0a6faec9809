// An independent model of the reversing buffer and the on/off crossfade, written from the
// algorithm, for bit-for-bit comparison with the plug-in.
#pragma once

#include <cmath>
#include <vector>

struct ReferenceBuffer {
    explicit ReferenceBuffer(int n)
        : data(std::size_t(n), 0.0f), window(std::size_t(n)), n(n), write(n / 2), a(n / 2), b(0)
    {
        for (int i = 0; i < n; ++i)
            window[std::size_t(i)] = float((std::cos(double(i) / double(n) * 12.566370614359172) + 1.0) * 0.5);
    }

    float step(float x)
    {
        data[std::size_t(write)] = std::isfinite(x) ? x : 0.0f;
        write = (write + 1) % n;
        const float y =
            window[std::size_t(b)] * data[std::size_t(b)] + (1.0f - window[std::size_t(a)]) * data[std::size_t(a)];
        a = a == 0 ? n - 1 : a - 1;
        b = b == 0 ? n - 1 : b - 1;
        return y;
    }

    std::vector<float> data, window;
    int n, write, a, b;
};

// Both channels of the effect: reversed when on, dry when off, crossfading over 201 frames
// after every setting of the on/off parameter.
struct ReferenceEffect {
    ReferenceBuffer left{88200}, right{88200};
    float onOff = 1.0f;
    float fade = 0.0f;

    void setOnOff(float value)
    {
        onOff = value;
        fade = 1.0f;
    }

    void step(float inL, float inR, float& outL, float& outR)
    {
        const float revL = left.step(inL), revR = right.step(inR);
        const bool on = onOff > 0.5f;
        if (fade > 0.0f) {
            outL = on ? inL * fade + revL * (1.0f - fade) : revL * fade + inL * (1.0f - fade);
            outR = on ? inR * fade + revR * (1.0f - fade) : revR * fade + inR * (1.0f - fade);
            fade = fade - 0.005f;
        } else {
            outL = on ? revL : inL;
            outR = on ? revR : inR;
        }
        outL = audible(outL);
        outR = audible(outR);
    }

    // Non-finite and subnormal samples are never handed to the host.
    static float audible(float y) { return std::isfinite(y) && std::fpclassify(y) != FP_SUBNORMAL ? y : 0.0f; }
};
