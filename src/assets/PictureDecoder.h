#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "assets/Rgb565Mipmaps.h"

// A JPEG picture read into memory ahead of its upload.
struct DecodedPicture {
    std::string path;
    bool loaded = false;  // read as 8-bit RGB
    int width = 0, height = 0;
    // Bottom row first, three bytes a texel; given up once mipmaps are built.
    std::vector<unsigned char> texels;
    // The 16-bit mipmap chain, where it was asked for and the reader was ahead.
    std::optional<Rgb565Mipmaps> mipmaps;
};

// Reads JPEG pictures on a thread of its own, in the order they are asked
// for, so that their uploads find them in memory: a level's terrain tiles and
// sky are read while the window opens and the loading picture shows.
//
// For a picture asked for with mipmaps, the reader also builds its 16-bit
// mipmap chain, unless someone already waits for that picture: then it hands
// the texels over as they are, and the one waiting builds the chain while
// the reader goes on with the next picture. So when the reader is behind,
// the two threads share the work.
//
// It reads through libjpeg (JpegReader), never DevIL, so the main thread may
// use DevIL meanwhile. Where no thread can be started, take() reads the
// picture itself.
class PictureDecoder {
public:
    PictureDecoder() = default;
    ~PictureDecoder();  // stops reading and waits for the thread
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // Queues the paths not queued or read already, after those queued.
    void request(const std::vector<std::string>& paths, bool withMipmaps);
    // The picture read from path, waiting while it is queued or being read;
    // nothing for a path not asked for, or taken already.
    std::optional<DecodedPicture> take(const std::string& path);
    // Forgets what is queued and what was read but not taken.
    void clear();

    // Reads one picture on the calling thread, with its mipmaps if asked
    // for and its sides fit them.
    static DecodedPicture decode(const std::string& path, bool withMipmaps);

private:
    struct Request {
        std::string path;
        bool withMipmaps;
    };

    void run();
    DecodedPicture readAhead(const Request& request);  // on the thread
    static void addMipmaps(DecodedPicture& picture);
    bool pending(const std::string& path) const;  // queued or being read; under the lock
    void start();

    std::deque<Request> queue;  // asked for, not yet being read
    std::string reading;        // being read now, for what is asked for since the last clear(); empty for none
    std::string awaited;        // the path take() waits for; empty for none
    std::map<std::string, DecodedPicture> ready;
    std::uint64_t generation = 0;  // counts clear(): a picture read across one is dropped
    bool running = false;          // the thread works on the queue
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;
};
