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
#include "assets/RgbaMipmaps.h"

// A picture read into memory ahead of its upload: a JPEG as 8-bit RGB, a PNG
// as 8-bit RGBA.
struct DecodedPicture {
    std::string path;
    bool loaded = false;  // read as 8-bit RGB (channels 3) or RGBA (channels 4)
    int channels = 0;
    int width = 0, height = 0;
    // Bottom row first, `channels` bytes a texel; given up once mipmaps are built.
    std::vector<unsigned char> texels;
    // The mipmap chain, where it was asked for and the reader was ahead: an
    // RGB picture's in 16 bits a texel, an RGBA picture's in 32.
    std::optional<Rgb565Mipmaps> mipmaps;
    std::optional<RgbaMipmaps> rgbaMipmaps;
};

// Reads pictures on a thread of its own, in the order they are asked for, so
// that their uploads find them in memory: a level's terrain tiles and sky are
// read while the window opens and the loading picture shows, its message
// boards once its first frame is shown.
//
// For a picture asked for with mipmaps, the reader also builds its mipmap
// chain, unless someone already waits for that picture: then it hands the
// texels over as they are, and the one waiting builds the chain while the
// reader goes on with the next picture. So when the reader is behind, the two
// threads share the work; and a picture asked for but not yet begun is read
// by the one who takes it, rather than after those queued before it.
//
// It reads JPEG files through libjpeg (JpegReader) and PNG files through
// libpng (PngReader), never DevIL, so the main thread may use DevIL
// meanwhile. Where no thread can be started, take() reads the picture itself.
class PictureDecoder {
public:
    PictureDecoder() = default;
    ~PictureDecoder();  // stops reading and waits for the thread
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // Queues the paths not queued or read already, after those queued.
    void request(const std::vector<std::string>& paths, bool withMipmaps);
    // The picture read from path, waiting while the reader reads it, or read
    // here if it is still queued; nothing for a path not asked for, or taken
    // already.
    std::optional<DecodedPicture> take(const std::string& path);
    // Forgets what is queued and what was read but not taken.
    void clear();
    // Waits until the reader has read everything queued (for a caller that
    // is about to change the files).
    void finishReading();

    // Reads one picture on the calling thread (a name ending in .png as PNG,
    // any other as JPEG), with its mipmaps if asked for and its sides fit them.
    static DecodedPicture decode(const std::string& path, bool withMipmaps);
    // The name ends in .png, in any case (DevIL chooses its reader so too).
    static bool isPng(const std::string& path);

private:
    struct Request {
        std::string path;
        bool withMipmaps;
    };

    void run();
    DecodedPicture readAhead(const Request& request);  // on the thread
    static void addMipmaps(DecodedPicture& picture);
    bool pending(const std::string& path) const;  // queued or being read; under the lock
    bool unqueue(const std::string& path, bool& withMipmaps);  // under the lock
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
