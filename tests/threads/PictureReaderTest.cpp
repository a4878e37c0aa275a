// The picture reader's thread against the thread that takes its pictures,
// under ThreadSanitizer: every case lets the two work on the same pictures at
// once, in the orders the game does and in others.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <GL/glew.h>

#include "assets/PictureDecoder.h"
#include "assets/Texture2D.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

namespace fs = std::filesystem;


// A picture of noise as a file: RGBA for a name ending in .png, RGB (JPEG) otherwise.
std::string writePicture(const std::string& path, int width, int height, unsigned seed) {
    const bool png = PictureDecoder::isPng(path);
    const int channels = png ? 4 : 3;
    std::vector<unsigned char> texels(static_cast<std::size_t>(width * height * channels));
    for (unsigned char& value : texels) value = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    const int written = png ? stbi_write_png(path.c_str(), width, height, 4, texels.data(), width * 4)
                            : stbi_write_jpg(path.c_str(), width, height, 3, texels.data(), 95);
    EXPECT_NE(written, 0) << path;
    return path;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every mipmap level of a picture as bytes. A picture handed over without
// its chain gets it here, on the taking thread, as Texture2D builds it then.
std::vector<std::vector<unsigned char>> levels(const DecodedPicture& picture) {
    std::vector<std::vector<unsigned char>> out;
    if (!picture.loaded) return out;
    std::optional<RgbaMipmaps> rgba = picture.rgbaMipmaps;
    std::optional<Rgb565Mipmaps> rgb = picture.mipmaps;
    if (!rgba && !rgb && picture.channels == 4) rgba.emplace(picture.texels.data(), picture.width, picture.height);
    if (!rgba && !rgb && picture.channels == 3)
        rgb.emplace(picture.texels.data(), picture.width, picture.height, false);
    for (int i = 0; rgba && i < rgba->levelCount(); ++i) {
        const unsigned char* level = rgba->level(i);
        out.emplace_back(level, level + rgba->levelWidth(i) * rgba->levelHeight(i) * 4);
    }
    for (int i = 0; rgb && i < rgb->levelCount(); ++i) {
        const std::vector<std::uint16_t> level = rgb->level(i);
        const auto* bytes = reinterpret_cast<const unsigned char*>(level.data());
        out.emplace_back(bytes, bytes + level.size() * 2);
    }
    return out;
}

// The picture taken is the one read on this thread alone.
void expectSamePicture(const std::optional<DecodedPicture>& taken, const std::string& path) {
    ASSERT_TRUE(taken) << path;
    const DecodedPicture alone = PictureDecoder::decode(path, true);
    EXPECT_EQ(taken->path, path);
    EXPECT_EQ(taken->loaded, alone.loaded) << path;
    EXPECT_EQ(taken->channels, alone.channels) << path;
    EXPECT_TRUE(levels(*taken) == levels(alone)) << path;
}

// A named pipe in place of a picture file: the reader that opens it stays in
// the middle of that picture until the writer here gives it the bytes, when
// released, or by itself after a long while (a test that waits for it in
// vain then fails instead of hanging).
class PipedPicture {
public:
    PipedPicture(const std::string& dir, const std::string& picture)
        : path(dir + "/piped.png"), bytes(fileBytes(picture)) {
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
    }
    ~PipedPicture() {
        if (!released) release();
        if (writer.joinable()) writer.join();
        fs::remove(path);
    }
    // Starts the writer; returns once the reader has the pipe open.
    void startWhenOpened() {
        std::promise<void> opened;
        std::future<void> isOpen = opened.get_future();
        writer = std::thread([this, opened = std::move(opened), goes = go.get_future()]() mutable {
            const int fd = open(path.c_str(), O_WRONLY);  // waits for the reader
            opened.set_value();
            if (goes.wait_for(std::chrono::seconds(20)) != std::future_status::ready) timedOut = true;
            for (std::size_t at = 0; fd >= 0 && at < bytes.size();) {
                const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
                if (n <= 0) break;
                at += static_cast<std::size_t>(n);
            }
            if (fd >= 0) close(fd);
        });
        isOpen.wait();
    }
    bool wasLeftWaiting() const { return timedOut; }
    // Lets the writer give the reader the picture.
    void release() {
        released = true;
        go.set_value();
    }

    const std::string path;

private:
    const std::string bytes;
    std::promise<void> go;
    bool released = false;
    std::atomic<bool> timedOut{false};
    std::thread writer;
};

}  // namespace

// Many pictures, PNG and JPEG, a missing and a damaged one, taken in another
// order than asked: some the reader has read, some it is reading, some the
// taker reads itself. Each is the picture of its file, and is taken once.
TEST(PictureReader, HandsOutManyPicturesInAnyOrderEachOnce) {
    const TempFolder folder("threads");  // removed with the test, also when it fails
    const std::string dir = folder.path();
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(writePicture(dir + "/board" + std::to_string(i) + ".png", 64 >> (i % 3), 32, 10u + i));
        paths.push_back(writePicture(dir + "/tile" + std::to_string(i) + ".jpg", 32, 64 >> (i % 3), 40u + i));
    }
    const std::string whole = fileBytes(paths[0]);
    std::ofstream(dir + "/cut.png", std::ios::binary) << whole.substr(0, whole.size() / 2);
    paths.push_back(dir + "/cut.png");
    paths.push_back(dir + "/missing.jpg");

    PictureDecoder decoder;
    decoder.request(paths, true);
    decoder.request({paths[3], paths[0]}, true);  // asked for already: not read twice
    std::vector<std::string> order = paths;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (const std::string& path : order) expectSamePicture(decoder.take(path), path);
    for (const std::string& path : paths) EXPECT_FALSE(decoder.take(path)) << path << " was taken";
    EXPECT_FALSE(decoder.take(dir + "/never-asked.png"));
    {
        PictureDecoder dropped;  // with pictures queued and one being read
        dropped.request(paths, true);
    }
}

// A take while the reader is in the middle of that picture waits for it; the
// reader then hands the texels over as they are, and the taker builds the
// chain. Whether the reader sees the taker waiting before it finishes is up
// to the scheduler: a few rounds make sure the hand-over is seen.
TEST(PictureReader, ATakeWhileThePictureIsReadWaitsAndBuildsItsChain) {
    const TempFolder folder("threads");  // removed with the test, also when it fails
    const std::string dir = folder.path();
    const std::string picture = writePicture(dir + "/large.png", 512, 256, 3);
    const std::string after = writePicture(dir + "/after.jpg", 64, 64, 4);
    bool handedOver = false;
    for (int round = 0; round < 5 && !handedOver; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        PipedPicture piped(dir, picture);
        PictureDecoder decoder;
        decoder.request({piped.path, after}, true);
        piped.startWhenOpened();  // the reader is in the middle of the piped picture
        piped.release();
        const std::optional<DecodedPicture> taken = decoder.take(piped.path);
        ASSERT_TRUE(taken && taken->loaded);
        handedOver = !taken->rgbaMipmaps && !taken->texels.empty();
        EXPECT_TRUE(levels(*taken) == levels(PictureDecoder::decode(picture, true)));
        expectSamePicture(decoder.take(after), after);
    }
    EXPECT_TRUE(handedOver) << "the reader never saw the taker waiting";
}

// A take of a picture the reader has not begun reads it at once, on the
// taking thread, rather than after the picture the reader is in.
TEST(PictureReader, ATakeOfAPictureNotBegunDoesNotWaitForTheOneBeingRead) {
    const TempFolder folder("threads");  // removed with the test, also when it fails
    const std::string dir = folder.path();
    const std::string picture = writePicture(dir + "/large.png", 256, 256, 8);
    const std::string queued = writePicture(dir + "/queued.jpg", 64, 32, 9);
    PipedPicture piped(dir, picture);
    PictureDecoder decoder;
    decoder.request({piped.path, queued}, true);
    piped.startWhenOpened();
    expectSamePicture(decoder.take(queued), queued);
    EXPECT_FALSE(piped.wasLeftWaiting()) << "the queued picture waited for the piped one";
    piped.release();
    const std::optional<DecodedPicture> taken = decoder.take(piped.path);
    ASSERT_TRUE(taken);
    EXPECT_TRUE(levels(*taken) == levels(PictureDecoder::decode(picture, true)));
}

// clear() while a picture is being read drops that picture when it is done,
// and what was queued; the reader reads what is asked for after it.
TEST(PictureReader, ClearWhileAPictureIsReadDropsIt) {
    const TempFolder folder("threads");  // removed with the test, also when it fails
    const std::string dir = folder.path();
    const std::string picture = writePicture(dir + "/large.png", 256, 256, 5);
    const std::string queued = writePicture(dir + "/queued.png", 32, 32, 6);
    PipedPicture piped(dir, picture);
    PictureDecoder decoder;
    decoder.request({piped.path, queued}, true);
    piped.startWhenOpened();
    decoder.clear();
    piped.release();
    decoder.finishReading();
    EXPECT_FALSE(decoder.take(piped.path)) << "read across the clear";
    EXPECT_FALSE(decoder.take(queued)) << "queued before the clear";
    decoder.request({queued}, true);
    decoder.finishReading();
    expectSamePicture(decoder.take(queued), queued);
}

// The game's way: Texture2D reads a level's tiles and boards ahead, then
// makes their textures while the reader is still at work, in another order,
// forgets the rest mid-way, and reads ahead again.
TEST(PictureReader, TexturesTakeTheirPicturesWhileTheReaderReads) {
    ASSERT_TRUE(GlTestWindow::ensure()) << "no X display: run the tests through scripts/test.sh";
    const TempFolder folder("threads");  // removed with the test, also when it fails
    const std::string dir = folder.path();
    fs::create_directories(dir + "/tiles");
    std::vector<std::string> paths;
    for (int i = 0; i < 8; ++i) {
        paths.push_back(writePicture(dir + "/tiles/tile" + std::to_string(i) + ".jpg", 64, 64, 70u + i));
        paths.push_back(writePicture(dir + "/board" + std::to_string(i) + ".png", 128, 64, 90u + i));
    }
    Texture2D::sixteenBitPaths = {dir + "/tiles/"};
    for (int pass = 0; pass < 2; ++pass) {
        Texture2D::readAhead(paths);
        for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
            const std::shared_ptr<Texture2D> texture = Texture2D::createFromFile(*path, GL_REPEAT);
            EXPECT_TRUE(texture->hasPicture()) << *path;
            GLint smallest = 0;
            glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &smallest);  // 128 x 64 down to 1 x 1
            EXPECT_EQ(smallest, PictureDecoder::isPng(*path) ? 1 : 0) << *path;
            if (path - paths.rbegin() == 4) Texture2D::forgetReadAhead();  // the rest from the files
        }
        Texture2D::clearTextures();
    }
    Texture2D::sixteenBitPaths.clear();
    Texture::unbindTexture();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
