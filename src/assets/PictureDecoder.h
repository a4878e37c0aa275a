#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A picture file read into memory: 8-bit RGB or BGR texels, bottom row
// first, as DevIL hands them to an upload.
struct DecodedPicture {
    std::string path;
    bool loaded = false;  // DevIL read the file
    int width = 0, height = 0;
    bool bgr = false;
    // Empty for a picture in any other form (alpha, 16 bits a channel, a
    // palette): its loader reads it again the usual way.
    std::vector<unsigned char> texels;
};

// Reads a list of picture files with DevIL on a thread of its own, in order
// and a few ahead, while the caller uploads those already read: a level's
// tiles are decoded on one core while the other builds their mipmaps.
//
// DevIL keeps one current image for the whole process, so from construction
// to destruction nothing but this decoder may call DevIL. Where no thread can
// be started, take() reads the picture itself.
class PictureDecoder {
public:
    explicit PictureDecoder(std::vector<std::string> paths, std::size_t ahead = 4);
    ~PictureDecoder();  // stops reading and waits for the thread
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // The next picture of the list, waiting until it is read; after the
    // last one, a picture with an empty path.
    DecodedPicture take();

    // Reads one picture on the calling thread.
    static DecodedPicture decode(const std::string& path);

private:
    void run();

    std::vector<std::string> paths;
    std::size_t ahead;
    std::size_t taken = 0;    // pictures handed out
    std::size_t decoded = 0;  // pictures read (by the thread)
    std::deque<DecodedPicture> ready;
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;  // not joinable: no thread could be started
};
