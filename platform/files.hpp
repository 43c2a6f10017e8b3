// File access for all three programs: only regular files count as opened,
// reads and writes are positioned, and writers replace their target atomically.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace melvo::platform {

enum class FileMode { Read, ReadWrite };

// An open regular file. Directories, devices and missing paths do not open.
class RegularFile {
public:
    static std::optional<RegularFile> Open(const std::string& path, FileMode mode = FileMode::Read);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    std::uint64_t Size() const;
    // Reads up to out.size() bytes at `offset`; returns how many were read.
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;
    // Writes all of `data` at `offset`, lengthening the file if needed.
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data);

private:
    explicit RegularFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Writes a new file beside `targetPath` and renames it over the target on
// Commit. Until then the target is untouched; an uncommitted writer removes
// its temporary file when destroyed.
class AtomicFileWriter {
public:
    static std::optional<AtomicFileWriter> Create(const std::string& targetPath);

    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    // Appends at the end of what was written so far.
    bool Append(std::span<const std::uint8_t> data);
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data);
    std::uint64_t Size() const { return size_; }
    // Flushes to disk and renames over the target. False leaves the target as it was.
    bool Commit();

private:
    AtomicFileWriter(int fd, std::string tempPath, std::string targetPath);
    void Discard();

    int fd_ = -1;
    std::string tempPath_;
    std::string targetPath_;
    std::uint64_t size_ = 0;
    bool failed_ = false;
};

// Replaces `path` with exactly `data`, atomically.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data);

// True when both paths exist and name the same file (same device and inode).
bool IsSameFile(const std::string& a, const std::string& b);

// The platform's path separator: '/' on POSIX systems, '\' on Windows.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace melvo::platform
