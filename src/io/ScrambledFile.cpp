#include "io/ScrambledFile.h"

#include <fcntl.h>
#ifndef QUORVEL_PNG_STB
#include <png.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/TextUtils.h"

namespace quorvel {

namespace {

#ifndef QUORVEL_PNG_STB
// Largest picture decodePng accepts; the face is well under a megapixel, and a header
// claiming more would only make us allocate for a broken file.
constexpr png_uint_32 maxPictureSide = 16384;
constexpr uint64_t maxPicturePixels = 32ull * 1024 * 1024;
#endif

// A file opened for reading that closes itself, read through a small buffer.
class InputFile {
  public:
    explicit InputFile(const std::string& path) { fd_ = ::open(path.c_str(), O_RDONLY); }
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Only regular files are data files; a directory or a device never is.
    bool openRegular(off_t& size) const {
        struct stat info {};
        if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return false;
        size = info.st_size;
        return true;
    }

    // Reads up to `count` bytes; returns the number read, -1 on a read error.
    ssize_t read(unsigned char* buffer, size_t count) {
        size_t done = 0;
        while (done < count) {
            if (next_ == filled_ && !refill()) return -1;
            if (next_ == filled_) break;
            size_t take = std::min(count - done, filled_ - next_);
            std::memcpy(buffer + done, buffer_ + next_, take);
            next_ += take;
            done += take;
        }
        return static_cast<ssize_t>(done);
    }

  private:
    bool refill() {
        next_ = filled_ = 0;
        for (;;) {
            ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return false;
            filled_ = static_cast<size_t>(got);
            return true;
        }
    }

    int fd_ = -1;
    unsigned char buffer_[4096];
    size_t next_ = 0;
    size_t filled_ = 0;
};

// Reads every byte of a regular file. The buffer grows only as bytes actually arrive.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    InputFile file(path);
    off_t size = 0;
    if (!file.openRegular(size)) return false;
    bytes.clear();
    constexpr size_t chunk = 64 * 1024;
    for (;;) {
        size_t old = bytes.size();
        bytes.resize(old + chunk);
        ssize_t got = file.read(bytes.data() + old, chunk);
        if (got < 0) return false;
        bytes.resize(old + static_cast<size_t>(got));
        if (static_cast<size_t>(got) < chunk) return true;
    }
}

// One header token: bytes up to a carriage return, which is consumed. At the end of the
// file the read fails only when something had been collected.
enum class TokenRead { ok, failed };

TokenRead readToken(InputFile& file, off_t& remaining, std::string& token) {
    token.clear();
    for (;;) {
        unsigned char byte = 0;
        ssize_t got = remaining > 0 ? file.read(&byte, 1) : 0;
        if (got < 0) return TokenRead::failed;
        if (got == 0) return token.empty() ? TokenRead::ok : TokenRead::failed;
        --remaining;
        char c = static_cast<char>(byte ^ scramblingByte);
        if (c == '\r') return TokenRead::ok;
        token += c;
    }
}

void splitLines(const std::string& text, std::vector<std::string>& lines) {
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
}

// Writes the bytes to path + ".new" and renames it over path, so a failed write never
// leaves a half-written file where the old one was.
enum class WriteResult { ok, cannotCreate, writeFailed };

WriteResult writeFileReplacing(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::string temporary = path + ".new";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return WriteResult::cannotCreate;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = (std::fflush(out) == 0) && ok;
    ok = (std::fclose(out) == 0) && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return WriteResult::ok;
    std::remove(temporary.c_str());
    return WriteResult::writeFailed;
}

}  // namespace

bool loadScrambledList(const std::string& path, std::vector<std::string>& lines) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    lines.clear();

    InputFile file(path);
    off_t remaining = 0;
    if (!file.openRegular(remaining)) return false;

    std::string magic;
    std::string lengthText;
    if (readToken(file, remaining, magic) != TokenRead::ok) return false;
    if (readToken(file, remaining, lengthText) != TokenRead::ok) return false;
    int length = 0;
    if (!parseDecimal(lengthText, length)) length = 0;
    if (length <= 0) return false;
    // The claimed length is checked against what the file really holds before anything
    // is allocated for it.
    if (static_cast<off_t>(length) > remaining) return false;

    std::string text(static_cast<size_t>(length), '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(text.data());
    if (file.read(buffer, text.size()) != static_cast<ssize_t>(text.size())) return false;
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) ^ scramblingByte);

    splitLines(text, lines);
    return !lines.empty();
}

bool saveScrambledList(const std::string& path, const std::vector<std::string>& lines) {
    std::string payload;
    for (const std::string& line : lines) {
        payload += line;
        payload += "\r\n";
    }
    std::string whole = "NeWe\r" + std::to_string(payload.size()) + "\r" + payload;
    std::vector<unsigned char> bytes(whole.size());
    for (size_t i = 0; i < whole.size(); ++i)
        bytes[i] = static_cast<unsigned char>(whole[i]) ^ scramblingByte;
    return writeFileReplacing(path, bytes) == WriteResult::ok;
}

void scrambleFileCopy(const std::string& sourcePath, const std::string& destinationPath,
                      MessageBoxes& messages) {
    // The source is read first so that a missing source never truncates the destination.
    std::vector<unsigned char> bytes;
    if (!readWholeFile(sourcePath, bytes)) {
        messages.showError("Error: Loading File");
        return;
    }
    for (unsigned char& byte : bytes) byte ^= scramblingByte;
    switch (writeFileReplacing(destinationPath, bytes)) {
        case WriteResult::ok:
            return;
        case WriteResult::cannotCreate:
            messages.showError("Error: OutStream");
            return;
        case WriteResult::writeFailed:
            messages.showError("Error: Writing File");
            return;
    }
}

bool loadScrambledPicture(const std::string& path, Bitmap& picture) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) return false;
    for (unsigned char& byte : bytes) byte ^= scramblingByte;
    return decodePng(bytes, picture);
}

// The browser build has no libpng; its front end supplies decodePng and savePng.
#ifndef QUORVEL_PNG_STB
bool decodePng(const std::vector<unsigned char>& bytes, Bitmap& picture) {
    if (bytes.empty()) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    if (image.width == 0 || image.height == 0 || image.width > maxPictureSide ||
        image.height > maxPictureSide ||
        static_cast<uint64_t>(image.width) * image.height > maxPicturePixels) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    Bitmap decoded(static_cast<int>(image.width), static_cast<int>(image.height));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, decoded.row(0), decoded.stride(), nullptr)) {
        png_image_free(&image);
        return false;
    }
    picture = std::move(decoded);
    return true;
}

bool savePng(const std::string& path, const Bitmap& picture) {
    if (picture.empty()) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width());
    image.height = static_cast<png_uint_32>(picture.height());
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, picture.data(), picture.stride(),
                                   nullptr))
        return false;
    std::vector<unsigned char> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.data(), picture.stride(),
                                   nullptr))
        return false;
    bytes.resize(size);
    return writeFileReplacing(path, bytes) == WriteResult::ok;
}

#endif

}  // namespace quorvel
