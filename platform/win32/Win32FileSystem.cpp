#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/win32/UniqueHandle.h"

namespace vorenta {

namespace {

// Reads and writes are done in pieces a DWORD can count.
constexpr std::size_t kMaxPiece = 1U << 30;

class Win32File : public IFile {
  public:
    explicit Win32File(std::unique_ptr<UniqueHandle> handle) : handle_(std::move(handle)) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        count = Clamp(count);
        std::size_t total = 0;
        while (total < count) {
            DWORD got = 0;
            const DWORD piece = static_cast<DWORD>(std::min(count - total, kMaxPiece));
            if (!::ReadFile(handle_->Get(), buffer + total, piece, &got, nullptr)) {
                return -1;
            }
            if (got == 0) {
                break;
            }
            total += got;
        }
        return static_cast<long>(total);
    }

    long Write(const std::uint8_t* data, std::size_t count) override {
        count = Clamp(count);
        std::size_t total = 0;
        while (total < count) {
            DWORD written = 0;
            const DWORD piece = static_cast<DWORD>(std::min(count - total, kMaxPiece));
            if (!::WriteFile(handle_->Get(), data + total, piece, &written, nullptr) ||
                written == 0) {
                return -1;
            }
            total += written;
        }
        return static_cast<long>(total);
    }

    bool Seek(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
            return false;
        }
        LARGE_INTEGER distance{};
        distance.QuadPart = static_cast<LONGLONG>(offset);
        return ::SetFilePointerEx(handle_->Get(), distance, nullptr, FILE_BEGIN) != FALSE;
    }

    std::optional<std::uint64_t> Length() override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(handle_->Get(), &size) || size.QuadPart < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    std::optional<LocalTime> ModificationTime() override {
        FILETIME written{};
        FILETIME local{};
        SYSTEMTIME parts{};
        if (!::GetFileTime(handle_->Get(), nullptr, nullptr, &written) ||
            !::FileTimeToLocalFileTime(&written, &local) ||
            !::FileTimeToSystemTime(&local, &parts)) {
            return std::nullopt;
        }
        return LocalTime{parts.wYear, parts.wMonth,  parts.wDay,
                         parts.wHour, parts.wMinute, parts.wSecond};
    }

    bool Flush() override { return ::FlushFileBuffers(handle_->Get()) != FALSE; }

  private:
    static std::size_t Clamp(std::size_t count) {
        constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<long>::max());
        return count > kMax ? kMax : count;
    }

    std::unique_ptr<UniqueHandle> handle_;
};

bool IsLinkOrFolder(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

struct OpenRequest {
    DWORD access;
    DWORD disposition;
    DWORD flags;
};

OpenRequest RequestFor(OpenMode mode) {
    switch (mode) {
        case OpenMode::ReadExisting:
            return {GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL};
        case OpenMode::ReadWriteExisting:
            return {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT};
        case OpenMode::CreateTruncateReadWrite:
            // Not CREATE_ALWAYS: the file is emptied only once it is known to be ours.
            return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT};
    }
    return {GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL};
}

}  // namespace

std::unique_ptr<IFile> Win32FileSystem::Open(const std::string& path, OpenMode mode) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return nullptr;
    }
    const OpenRequest request = RequestFor(mode);
    // Share mode 0: nobody else may open the file while we hold it.
    auto handle = std::make_unique<UniqueHandle>(::CreateFileA(
        path.c_str(), request.access, 0, nullptr, request.disposition, request.flags, nullptr));
    if (!handle->Valid()) {
        return nullptr;
    }
    // A device or a pipe opened by name is not a file to read firmware from.
    if (::GetFileType(handle->Get()) != FILE_TYPE_DISK) {
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle->Get(), &info) ||
        IsLinkOrFolder(info.dwFileAttributes)) {
        return nullptr;
    }
    if (mode == OpenMode::CreateTruncateReadWrite) {
        // A file with another name elsewhere (a planted hard link) would take
        // someone else's data with it when emptied.
        if (info.nNumberOfLinks != 1 || !::SetEndOfFile(handle->Get())) {
            return nullptr;
        }
    }
    return std::make_unique<Win32File>(std::move(handle));
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || IsLinkOrFolder(attributes)) {
        return false;
    }
    // Held by nobody else (share mode 0); checked through the handle, then
    // marked for deletion, so what is deleted is what was checked.
    UniqueHandle handle(::CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.Valid() || ::GetFileType(handle.Get()) != FILE_TYPE_DISK) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.Get(), &info) ||
        IsLinkOrFolder(info.dwFileAttributes)) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition,
                                        sizeof(disposition)) != FALSE;
}

}  // namespace vorenta
