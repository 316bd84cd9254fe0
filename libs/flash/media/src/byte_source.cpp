#include "flash/media/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace flash::media {

namespace {

class FileSource final : public ByteSource {
  public:
    FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~FileSource() override { std::fclose(file_); }

    std::size_t Read(std::span<std::uint8_t> out) override {
        const std::size_t got = std::fread(out.data(), 1, out.size(), file_);
        position_ += got;
        return got;
    }

    bool Seek(std::uint64_t position) override {
        if (position > size_ || position > static_cast<std::uint64_t>(INT64_MAX)) {
            return false;
        }
        if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) {
            return false;
        }
        position_ = position;
        return true;
    }

    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return size_; }

  private:
    std::FILE* file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
        : bytes_(std::move(bytes)) {}

    std::size_t Read(std::span<std::uint8_t> out) override {
        const std::size_t n = std::min<std::size_t>(out.size(), bytes_->size() - position_);
        std::copy_n(bytes_->data() + position_, n, out.data());
        position_ += n;
        return n;
    }

    bool Seek(std::uint64_t position) override {
        if (position > bytes_->size()) {
            return false;
        }
        position_ = static_cast<std::size_t>(position);
        return true;
    }

    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return bytes_->size(); }

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::filesystem::path& file, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        if (error != nullptr) {
            *error = "no such file: " + file.string();
        }
        return nullptr;
    }
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) {
        if (error != nullptr) {
            *error = file.string() + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    const std::uint64_t size = std::filesystem::file_size(file, ec);
    return std::make_unique<FileSource>(f, ec ? 0 : size);
}

SourceOpener FileOpener(std::filesystem::path file) {
    return [file = std::move(file)](std::string* error) { return OpenFileSource(file, error); };
}

SourceOpener MemoryOpener(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
    return [bytes = std::move(bytes)](std::string*) -> std::unique_ptr<ByteSource> {
        return std::make_unique<MemorySource>(bytes);
    };
}

}  // namespace flash::media
