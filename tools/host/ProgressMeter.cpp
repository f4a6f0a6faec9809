#include "ProgressMeter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double redrawSeconds = 0.2;
constexpr int barWidth = 24;
// Below this an estimate of the time left jumps about too much to be worth showing.
constexpr double settleSeconds = 0.5;
}  // namespace

ProgressMeter::ProgressMeter(std::FILE* out, const char* label, long long total)
    : out(total > 0 ? out : nullptr), label(label), total(total), start(std::chrono::steady_clock::now())
{
    update(0);
}

double ProgressMeter::elapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ProgressMeter::update(long long done)
{
    if (!out)
        return;
    const double now = elapsed();
    if (lastDrawn >= 0.0 && now - lastDrawn < redrawSeconds)
        return;
    lastDrawn = now;
    draw(line(label, done, total, now));
}

void ProgressMeter::finish()
{
    if (!out)
        return;
    std::string text = line(label, total, total, 0.0);
    const double taken = elapsed();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", taken);
    text = text.substr(0, text.rfind(']') + 1) + " done in " + (taken < 60.0 ? std::string(seconds) : duration(taken));
    draw(text);
    std::fputc('\n', out);
    std::fflush(out);
    out = nullptr;
}

void ProgressMeter::clear()
{
    if (!out)
        return;
    draw("");
    std::fputc('\r', out);
    std::fflush(out);
    out = nullptr;
}

void ProgressMeter::draw(const std::string& text)
{
    // Spaces cover what is left of a longer line drawn before.
    const std::size_t width = std::max(drawnWidth, text.size());
    std::fprintf(out, "\r%-*s", int(width), text.c_str());
    std::fflush(out);
    drawnWidth = text.size();
}

std::string ProgressMeter::line(const char* label, long long done, long long total, double elapsedSeconds)
{
    const double fraction = total > 0 ? std::clamp(double(done) / double(total), 0.0, 1.0) : 0.0;
    const int filled = int(fraction * barWidth);
    std::string bar(std::size_t(filled), '=');
    if (filled < barWidth)
        bar += '>' + std::string(std::size_t(barWidth - filled - 1), ' ');
    std::string left = "--:--";
    if (done > 0 && elapsedSeconds >= settleSeconds)
        left = duration(elapsedSeconds * (1.0 - fraction) / fraction);
    char text[128];
    std::snprintf(text, sizeof text, "%s %3d%% [%s] %s left", label, int(fraction * 100.0), bar.c_str(), left.c_str());
    return text;
}

std::string ProgressMeter::duration(double seconds)
{
    const long long whole = std::llround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}
