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
    // Non-blocking, so that a FIFO put in a file's place cannot hold the program up even
    // when it appears after the check; the regular-file test below then refuses it.
    explicit InputFile(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
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

// A damaged payload keeps only its lines that end in a line break.
void splitLines(const std::string& text, std::vector<std::string>& lines,
                bool completeOnly = false) {
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
    if (start < text.size() && !completeOnly) lines.push_back(text.substr(start));
}

// The file a path finally names: a symbolic link is followed (relative targets from the
// link's folder), so that saving replaces the target and keeps the link.
std::string followLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) >= target.size()) return current;
        target.resize(static_cast<size_t>(length));
        if (target.empty()) return current;
        if (target[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
        }
        current = target;
    }
    return current;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Writes the bytes to a temporary file beside the target, syncs it and renames it over
// the target, then syncs the folder: a failed write or a crash never leaves a half-written
// file where the old one was, and the new one is on the disk when this returns.
enum class WriteResult { ok, cannotCreate, writeFailed };

WriteResult writeFileReplacing(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::string target = followLinks(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    // Only a regular file is replaced; a folder or a device in its place stays.
    if (replacing && !S_ISREG(old.st_mode)) return WriteResult::writeFailed;

    const std::string temporary = target + ".new";
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return WriteResult::cannotCreate;
    bool ok = true;
    if (replacing) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WriteResult::writeFailed;
    }
    // The rename itself is on the disk only once the folder is; a file system that cannot
    // sync a folder has nothing more to do here.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return WriteResult::ok;
}

}  // namespace

ListFile readScrambledList(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? ListFile::missing : ListFile::unreadable;
    }
    // Checked before the open: opening a FIFO for reading would wait for a writer.
    if (!S_ISREG(info.st_mode)) return ListFile::notRegular;

    InputFile file(path);
    off_t remaining = 0;
    if (!file.openRegular(remaining)) return ListFile::unreadable;

    std::string magic;
    std::string lengthText;
    if (readToken(file, remaining, magic) != TokenRead::ok) return ListFile::damaged;
    if (readToken(file, remaining, lengthText) != TokenRead::ok) return ListFile::damaged;
    int length = 0;
    if (!parseDecimal(lengthText, length) || length < 0) return ListFile::damaged;
    // What saving an empty list writes.
    if (length == 0) return remaining == 0 ? ListFile::empty : ListFile::damaged;

    // The claimed length is checked against what the file really holds before anything
    // is allocated for it; what is there in front of a mismatch is still read.
    const bool whole = static_cast<off_t>(length) == remaining;
    std::string text(static_cast<size_t>(std::min<off_t>(length, remaining)), '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(text.data());
    if (file.read(buffer, text.size()) != static_cast<ssize_t>(text.size())) {
        return ListFile::unreadable;
    }
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) ^ scramblingByte);

    splitLines(text, lines, !whole);
    if (!whole) return ListFile::damaged;
    return lines.empty() ? ListFile::empty : ListFile::loaded;
}

// The buffer grows only as bytes actually arrive.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    if (isSpecialFile(path)) return false;
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

bool loadListOrText(const std::string& path, std::vector<std::string>& lines) {
    if (loadScrambledList(path, lines)) return true;
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) return false;
    lines.clear();
    splitLines(std::string(bytes.begin(), bytes.end()), lines);
    return true;
}

bool loadScrambledList(const std::string& path, std::vector<std::string>& lines) {
    std::vector<std::string> read;
    const ListFile result = readScrambledList(path, read);
    if (result == ListFile::missing) return false;
    if (result != ListFile::loaded) read.clear();
    lines = std::move(read);
    return result == ListFile::loaded;
}

namespace {

std::string fileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string scrambledFileProblem(const std::string& path) {
    std::vector<std::string> lines;
    switch (readScrambledList(path, lines)) {
        case ListFile::loaded:
        case ListFile::empty: return {};
        case ListFile::missing: return fileName(path) + " is missing";
        case ListFile::notRegular: return fileName(path) + " is not a regular file";
        case ListFile::unreadable: return fileName(path) + " cannot be read";
        case ListFile::damaged: break;
    }
    return fileName(path) + " is damaged";
}

std::string pictureFileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return fileName(path) + (errno == ENOENT ? " is missing" : " cannot be read");
    }
    if (!S_ISREG(info.st_mode)) return fileName(path) + " is not a regular file";
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) return fileName(path) + " cannot be read";
    for (unsigned char& byte : bytes) byte ^= scramblingByte;
    Bitmap picture;
    if (!decodePng(bytes, picture)) return fileName(path) + " is damaged (not a picture)";
    return {};
}

std::string withFileProblem(const std::string& message, const std::string& path) {
    const std::string problem = scrambledFileProblem(path);
    return problem.empty() ? message : message + ": " + problem;
}

std::string specialFileMessage(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (isSpecialFile(path)) return "ERROR: " + path + " is not a regular file";
    }
    return {};
}

bool isSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

std::string setFileAside(const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        const std::string candidate = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
#ifndef RENAME_NOREPLACE
        // No no-replace rename (the browser's in-memory file system): one process owns the
        // folder there, so looking first is enough.
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0) continue;
        return ::rename(path.c_str(), candidate.c_str()) == 0 ? candidate : std::string();
#else
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) ==
            0) {
            return candidate;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return {};
        // A file system without a no-replace rename: a hard link cannot replace either.
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            if (::unlink(path.c_str()) == 0) return candidate;
            ::unlink(candidate.c_str());
            return {};
        }
        if (errno != EEXIST) return {};
#endif
    }
    return {};
}

std::string damagedFileMessage(const DamagedFile& damage, const std::string& what) {
    if (!damage) return {};
    std::string text =
        "The " + what + " " + damage.path + " was damaged and could not be read whole.";
    if (damage.movedTo.empty()) {
        text += " It could not be set aside and is left where it is.";
    } else {
        text += " It was kept as " + damage.movedTo + ".";
    }
    text += " Lines read in front of the damage: " + std::to_string(damage.linesKept) + ".";
    return text;
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
        case WriteResult::ok: return;
        case WriteResult::cannotCreate: messages.showError("Error: OutStream"); return;
        case WriteResult::writeFailed: messages.showError("Error: Writing File"); return;
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
