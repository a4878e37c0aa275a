#include "assets/PictureDecoder.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <system_error>

#include "assets/JpegReader.h"
#include "assets/PngReader.h"

PictureDecoder::~PictureDecoder() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        queue.clear();
    }
    if (thread.joinable()) thread.join();
}

void PictureDecoder::request(const std::vector<std::string>& paths, bool withMipmaps) {
    std::unique_lock<std::mutex> lock(mutex);
    for (const std::string& path : paths)
        if (!pending(path) && ready.count(path) == 0) queue.push_back({path, withMipmaps});
    if (running || queue.empty()) return;
    lock.unlock();
    start();
}

// The thread of the last batch has finished its queue (or never ran).
void PictureDecoder::start() {
    if (thread.joinable()) thread.join();
    const std::lock_guard<std::mutex> lock(mutex);
    try {
        thread = std::thread(&PictureDecoder::run, this);
        running = true;
    } catch (const std::system_error&) {
        // take() reads each picture itself instead.
    }
}

bool PictureDecoder::pending(const std::string& path) const {
    return (!reading.empty() && path == reading) ||
           std::any_of(queue.begin(), queue.end(), [&path](const Request& queued) { return queued.path == path; });
}

bool PictureDecoder::unqueue(const std::string& path, bool& withMipmaps) {
    const auto queued = std::find_if(queue.begin(), queue.end(), [&path](const Request& r) { return r.path == path; });
    if (queued == queue.end()) return false;
    withMipmaps = queued->withMipmaps;
    queue.erase(queued);
    return true;
}

std::optional<DecodedPicture> PictureDecoder::take(const std::string& path) {
    std::unique_lock<std::mutex> lock(mutex);
    bool withMipmaps = false;
    if (unqueue(path, withMipmaps)) {  // not begun: reading it here is sooner than after those before it
        lock.unlock();
        return decode(path, withMipmaps);
    }
    awaited = path;
    changed.wait(lock, [this, &path] { return ready.count(path) != 0 || !pending(path); });
    awaited.clear();
    const auto found = ready.find(path);
    if (found == ready.end()) return std::nullopt;
    DecodedPicture picture = std::move(found->second);
    ready.erase(found);
    return picture;
}

// The picture being read now is dropped when it is done (its generation is
// gone), so it no longer counts as pending: asked for again, it is queued
// and read again rather than waited for and lost.
void PictureDecoder::clear() {
    const std::lock_guard<std::mutex> lock(mutex);
    queue.clear();
    ready.clear();
    reading.clear();
    ++generation;
}

void PictureDecoder::finishReading() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !running; });
}

void PictureDecoder::run() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping && !queue.empty()) {
        const Request next = queue.front();
        queue.pop_front();
        reading = next.path;
        const std::uint64_t readFor = generation;
        lock.unlock();
        DecodedPicture picture = readAhead(next);
        lock.lock();
        reading.clear();
        if (readFor == generation) ready[next.path] = std::move(picture);
        changed.notify_all();
    }
    running = false;
    changed.notify_all();
}

// The picture, with its mipmaps if asked for and nobody waits for it yet. A
// picture that runs out of memory is left to the usual loader, which reports
// it, rather than ending the process on this thread.
DecodedPicture PictureDecoder::readAhead(const Request& request) {
    try {
        DecodedPicture picture = decode(request.path, false);
        bool awaitedNow = false;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            awaitedNow = awaited == request.path;
        }
        if (request.withMipmaps && !awaitedNow) addMipmaps(picture);
        return picture;
    } catch (const std::bad_alloc&) {
        DecodedPicture unread;
        unread.path = request.path;
        return unread;
    }
}

DecodedPicture PictureDecoder::decode(const std::string& path, bool withMipmaps) {
    DecodedPicture picture;
    picture.path = path;
    if (isPng(path)) {
        picture.loaded = PngReader::read(path, picture.width, picture.height, picture.texels) == PngReader::RGBA;
        picture.channels = 4;
    } else {
        picture.loaded = JpegReader::read(path, picture.width, picture.height, picture.texels) == JpegReader::RGB;
        picture.channels = 3;
    }
    if (withMipmaps) addMipmaps(picture);
    return picture;
}

bool PictureDecoder::isPng(const std::string& path) {
    const std::string suffix = ".png";
    return path.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), path.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

void PictureDecoder::addMipmaps(DecodedPicture& picture) {
    if (!picture.loaded) return;
    if (picture.channels == 3 && Rgb565Mipmaps::fits(picture.width, picture.height))
        picture.mipmaps.emplace(picture.texels.data(), picture.width, picture.height, false);
    else if (picture.channels == 4 && RgbaMipmaps::fits(picture.width, picture.height))
        picture.rgbaMipmaps.emplace(picture.texels.data(), picture.width, picture.height);
    else
        return;
    std::vector<unsigned char>().swap(picture.texels);  // gives the memory back, as clear() would not
}
