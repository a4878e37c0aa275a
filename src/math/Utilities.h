#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// Shared float arrays: every colour (RGBA) and one-value GL parameter
// (shininess) in the program is one of these.
using FloatArray = std::shared_ptr<float[]>;

template <typename T>
class Utilities;

template <>
class Utilities<float> {
public:
    static FloatArray createArray(float v0) {
        FloatArray a(new float[1]{v0});
        return a;
    }
    static FloatArray createArray(float v0, float v1, float v2) {
        FloatArray a(new float[3]{v0, v1, v2});
        return a;
    }
    static FloatArray createArray(float v0, float v1, float v2, float v3) {
        FloatArray a(new float[4]{v0, v1, v2, v3});
        return a;
    }

    static void setArrayValues(float* target, float v0) { target[0] = v0; }
    static void setArrayValues(float* target, float v0, float v1, float v2) {
        target[0] = v0;
        target[1] = v1;
        target[2] = v2;
    }
    static void setArrayValues(float* target, float v0, float v1, float v2, float v3) {
        setArrayValues(target, v0, v1, v2);
        target[3] = v3;
    }

    // Prints the first four (or the first) element with a printf format that takes doubles.
    static void printArray4(const float* a, const char* format) {
        std::printf(format, static_cast<double>(a[0]), static_cast<double>(a[1]), static_cast<double>(a[2]),
                    static_cast<double>(a[3]));
    }
    static void printArray1(const float* a, const char* format) { std::printf(format, static_cast<double>(a[0])); }

    // A value from 0 to 1 inclusive. Divides by RAND_MAX rather than by 32767:
    // glibc's rand() reaches 2^31 - 1, and a fixed 32767 would give values up to 65536.
    static double random() { return std::rand() / static_cast<double>(RAND_MAX); }
};

template <>
class Utilities<double> {
public:
    static double random() { return Utilities<float>::random(); }
};

template <>
class Utilities<char> {
public:
    // printf into a new string of whatever length the text needs.
    static std::string createString(const char* format, ...) {
        va_list args;
        va_start(args, format);
        va_list copy;
        va_copy(copy, args);
        const int n = std::vsnprintf(nullptr, 0, format, copy);
        va_end(copy);
        std::string out;
        if (n > 0) {
            out.resize(static_cast<size_t>(n) + 1);
            std::vsnprintf(&out[0], out.size(), format, args);
            out.resize(static_cast<size_t>(n));
        }
        va_end(args);
        return out;
    }

    // Cuts the first double-quoted text out of a line: returns the text between
    // the first two quotes and leaves the rest of the line after the closing
    // quote in `line`. Repeated calls return the quoted texts one after the other.
    // A line without an opening quote yields an empty text and an empty line; a
    // missing closing quote takes the text up to the end of the line.
    static std::string extractString(std::string& line) {
        const size_t open = line.find('"');
        if (open == std::string::npos) {
            line.clear();
            return std::string();
        }
        const size_t close = line.find('"', open + 1);
        if (close == std::string::npos) {
            std::string text = line.substr(open + 1);
            line.clear();
            return text;
        }
        std::string text = line.substr(open + 1, close - open - 1);
        line.erase(0, close + 1);
        return text;
    }
};

// Whether n is 1, 2, 4, 8, ...: the sides of a picture that mipmaps halve evenly.
inline bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }
