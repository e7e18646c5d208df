#include "firmware/HeldPageImage.h"

namespace vorenta {

namespace {

class CheckedPageImageReader : public IFile {
  public:
    explicit CheckedPageImageReader(HeldPageImage& image) : image_(image) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        const std::size_t size = image_.pageSize;
        if (size == 0 || position_ % size != 0 || count % size != 0 ||
            !image_.file->Seek(position_)) {
            return -1;
        }
        const long n = image_.file->Read(buffer, count);
        if (n < 0) {
            return -1;
        }
        const std::size_t whole = static_cast<std::size_t>(n) / size;
        const std::uint64_t firstPage = position_ / size;
        for (std::size_t i = 0; i < whole; ++i) {
            const std::uint64_t page = firstPage + i;
            if (page >= image_.pageDigests.size() ||
                PageDigest(buffer + i * size, size) != image_.pageDigests[page]) {
                return -1;
            }
        }
        position_ += whole * size;
        return static_cast<long>(whole * size);
    }

    long Write(const std::uint8_t*, std::size_t) override { return -1; }

    bool Seek(std::uint64_t offset) override {
        position_ = offset;
        return true;
    }

    std::optional<std::uint64_t> Length() override {
        return static_cast<std::uint64_t>(image_.pageDigests.size()) * image_.pageSize;
    }

    std::optional<LocalTime> ModificationTime() override { return image_.file->ModificationTime(); }
    bool Flush() override { return true; }
    std::optional<FileIdentity> Identity() override { return image_.file->Identity(); }

  private:
    HeldPageImage& image_;
    std::uint64_t position_ = 0;
};

}  // namespace

std::uint64_t PageDigest(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t digest = kOffsetBasis;
    for (std::size_t i = 0; i < size; ++i) {
        digest = (digest ^ data[i]) * kPrime;
    }
    return digest;
}

std::unique_ptr<IFile> MakeCheckedPageImageReader(HeldPageImage& image) {
    if (!image.file) {
        return nullptr;
    }
    return std::make_unique<CheckedPageImageReader>(image);
}

}  // namespace vorenta
