// A progress line for long work on a terminal: percentage, bar and the time left, redrawn in
// place a few times a second. Constructed without a stream it draws nothing.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

class ProgressMeter {
public:
    // `total` is the amount of work (frames, say); nothing is drawn when it is not positive.
    ProgressMeter(std::FILE* out, const char* label, long long total);

    // Redraws for `done` of the total, at most every 200 ms.
    void update(long long done);
    // Draws the finished line with the time taken and ends it.
    void finish();
    // Wipes the line, so that an error message starts on a clean one.
    void clear();

private:
    // "render  37% [=======>            ] 0:12 left"; the time left is "--:--" while too little
    // has been done to tell.
    static std::string line(const char* label, long long done, long long total, double elapsedSeconds);
    // "0:07", "12:30", "1:02:03".
    static std::string duration(double seconds);

    double elapsed() const;
    void draw(const std::string& text);

    std::FILE* out;
    const char* label;
    long long total;
    std::chrono::steady_clock::time_point start;
    double lastDrawn = -1.0;
    std::size_t drawnWidth = 0;
};
