#include "assets/PictureDecoder.h"

#include <IL/il.h>

#include <cstring>
#include <system_error>

PictureDecoder::PictureDecoder(std::vector<std::string> list, std::size_t count)
    : paths(std::move(list)), ahead(count > 0 ? count : 1) {
    try {
        thread = std::thread(&PictureDecoder::run, this);
    } catch (const std::system_error&) {
        // Read on demand by take() instead.
    }
}

PictureDecoder::~PictureDecoder() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    if (thread.joinable()) thread.join();
}

DecodedPicture PictureDecoder::take() {
    if (taken >= paths.size()) return {};
    if (!thread.joinable()) return decode(paths[taken++]);
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !ready.empty(); });
    DecodedPicture picture = std::move(ready.front());
    ready.pop_front();
    ++taken;
    lock.unlock();
    changed.notify_all();
    return picture;
}

void PictureDecoder::run() {
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return stopping || ready.size() < ahead; });
        if (stopping || decoded >= paths.size()) return;
        const std::string& path = paths[decoded];
        lock.unlock();
        DecodedPicture picture = decode(path);
        lock.lock();
        ready.push_back(std::move(picture));
        ++decoded;
        lock.unlock();
        changed.notify_all();
    }
}

DecodedPicture PictureDecoder::decode(const std::string& path) {
    DecodedPicture picture;
    picture.path = path;
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    picture.loaded = ilLoadImage(path.c_str()) == IL_TRUE;
    const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
    if (picture.loaded && ilGetInteger(IL_IMAGE_TYPE) == IL_UNSIGNED_BYTE &&
        ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) == 3 && (format == IL_RGB || format == IL_BGR)) {
        picture.width = ilGetInteger(IL_IMAGE_WIDTH);
        picture.height = ilGetInteger(IL_IMAGE_HEIGHT);
        picture.bgr = format == IL_BGR;
        picture.texels.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
        std::memcpy(picture.texels.data(), ilGetData(), picture.texels.size());
    }
    ilDeleteImages(1, &image);
    // A file that did not load leaves its error on DevIL's stack; the usual
    // loader reads it again and reports it then.
    while (ilGetError() != IL_NO_ERROR) {
    }
    return picture;
}
