// The top-level window a host gives an effect's editor, and a picture of it read back
// through GDI. Every Win32 call of the editor command lives here.
#pragma once

#include <functional>
#include <string>

class EditorWindow {
public:
    EditorWindow() = default;
    ~EditorWindow();

    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // A visible window whose client area is width x height. False with a reason in error.
    bool create(const char* title, int width, int height, std::string& error);
    void* handle() const { return window; }
    bool isOpen() const;

    // Pumps messages and calls tick every intervalMs, until the window is closed or, when
    // seconds is above 0, until that much time has passed.
    void run(double seconds, int intervalMs, const std::function<void()>& tick);

    // Writes the client area as a 24-bit BMP file.
    bool saveBitmap(const std::string& path, std::string& error);

    void destroy();

private:
    void* window = nullptr;
    int width = 0;
    int height = 0;
};
