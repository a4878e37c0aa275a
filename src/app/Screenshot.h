#pragma once
#include <ctime>
#include <string>

// Saves the picture in the GL window as a PNG file.
class Screenshot {
public:
    // "zarvik-YYYYMMDD-HHMMSS.png" (local time) in folder; when that file
    // exists, "zarvik-YYYYMMDD-HHMMSS-2.png", "-3" and so on.
    static std::string freeName(const std::string& folder, std::time_t when);

    // Reads width x height pixels from the colour buffer (GL_BACK after the
    // frame is painted, before the swap) and writes them to path as RGB.
    // False with the reason in error when the window is empty or the file
    // cannot be written.
    static bool save(const std::string& path, int width, int height, unsigned buffer, std::string& error);
};
