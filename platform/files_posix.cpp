#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/files.hpp"

namespace melvo::platform {
namespace {

bool IsRegular(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool WriteAllAt(int fd, std::uint64_t offset, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<RegularFile> RegularFile::Open(const std::string& path, FileMode mode) {
    const int flags = (mode == FileMode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    const int fd = open(path.c_str(), flags);
    if (fd < 0) {
        return std::nullopt;
    }
    if (!IsRegular(fd)) {
        close(fd);
        return std::nullopt;
    }
    return RegularFile(fd);
}

RegularFile::RegularFile(RegularFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::uint64_t RegularFile::Size() const {
    struct stat info {};
    if (fstat(fd_, &info) != 0 || info.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t RegularFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool RegularFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
    return WriteAllAt(fd_, offset, data);
}

AtomicFileWriter::AtomicFileWriter(int fd, std::string tempPath, std::string targetPath)
    : fd_(fd), tempPath_(std::move(tempPath)), targetPath_(std::move(targetPath)) {}

std::optional<AtomicFileWriter> AtomicFileWriter::Create(const std::string& targetPath) {
    if (targetPath.empty()) {
        return std::nullopt;
    }
    // The temporary file must live in the target's directory so rename stays atomic.
    std::string pattern = targetPath + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        return std::nullopt;
    }
    // mkstemp makes the file private; a user's file gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, static_cast<mode_t>(0666 & ~mask));
    return AtomicFileWriter(fd, std::string(name.data()), targetPath);
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      tempPath_(std::move(other.tempPath_)),
      targetPath_(std::move(other.targetPath_)),
      size_(other.size_),
      failed_(other.failed_) {}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        Discard();
        fd_ = std::exchange(other.fd_, -1);
        tempPath_ = std::move(other.tempPath_);
        targetPath_ = std::move(other.targetPath_);
        size_ = other.size_;
        failed_ = other.failed_;
    }
    return *this;
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
        unlink(tempPath_.c_str());
    }
}

bool AtomicFileWriter::Append(std::span<const std::uint8_t> data) { return WriteAt(size_, data); }

bool AtomicFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    if (!WriteAllAt(fd_, offset, data)) {
        failed_ = true;
        return false;
    }
    if (offset + data.size() > size_) {
        size_ = offset + data.size();
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0 || failed_ || fsync(fd_) != 0) {
        Discard();
        return false;
    }
    const int fd = std::exchange(fd_, -1);
    if (close(fd) != 0 || std::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
        unlink(tempPath_.c_str());
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) {
    auto writer = AtomicFileWriter::Create(path);
    return writer && writer->Append(data) && writer->Commit();
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace melvo::platform
