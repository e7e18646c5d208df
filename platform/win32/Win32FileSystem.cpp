#include "platform/NativeFileSystem.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/PlainName.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/UserOnlyAccess.h"

#include <bcrypt.h>

namespace vorenta {

namespace {

// Reads and writes are done in pieces a DWORD can count.
constexpr std::size_t kMaxPiece = 1U << 30;

// File times count 100 ns from 1601; identities count nanoseconds from 1970.
constexpr std::int64_t kFileTimeTo1970 = 116444736000000000;
constexpr std::int64_t kNsPerFileTimeUnit = 100;

std::int64_t NsSince1970(std::int64_t fileTime) {
    const std::int64_t units = fileTime - kFileTimeTo1970;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / kNsPerFileTimeUnit;
    // Dates past 2262 do not fit; they stay distinct from every real one.
    return std::clamp(units, -kLimit, kLimit) * kNsPerFileTimeUnit;
}

std::int64_t FileTimeValue(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) |
                                     time.dwLowDateTime);
}

class Win32File : public IFile {
  public:
    explicit Win32File(std::unique_ptr<UniqueHandle> handle) : handle_(std::move(handle)) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        count = ReportableCount(count);
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
        count = ReportableCount(count);
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

    std::optional<FileIdentity> Identity() override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle_->Get(), &info)) {
            return std::nullopt;
        }
        FileIdentity identity;
        identity.volume = info.dwVolumeSerialNumber;
        identity.index =
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32U) | info.nFileIndexLow;
        identity.length =
            (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32U) | info.nFileSizeLow;
        identity.modifiedNs = NsSince1970(FileTimeValue(info.ftLastWriteTime));
        // The change time also moves when only the attributes change; not
        // every file system keeps one.
        FILE_BASIC_INFO basic{};
        if (::GetFileInformationByHandleEx(handle_->Get(), FileBasicInfo, &basic, sizeof(basic))) {
            identity.changedNs = NsSince1970(basic.ChangeTime.QuadPart);
        }
        return identity;
    }

  protected:
    bool SeekToEnd() {
        return ::SetFilePointerEx(handle_->Get(), LARGE_INTEGER{}, nullptr, FILE_END) != FALSE;
    }

  private:
    std::unique_ptr<UniqueHandle> handle_;
};

// A file every write of which goes to its end, as a C stream opened for
// appending does it.
class AppendingFile : public Win32File {
  public:
    explicit AppendingFile(std::unique_ptr<UniqueHandle> handle) : Win32File(std::move(handle)) {}

    long Write(const std::uint8_t* data, std::size_t count) override {
        return SeekToEnd() ? Win32File::Write(data, count) : -1;
    }
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

std::unique_ptr<IFile> NativeFileSystem::Open(const std::string& path, OpenMode mode) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return nullptr;
    }
    const OpenRequest request = RequestFor(mode);
    // Readers share the file with other readers only; a writer holds it
    // alone (share mode 0), and nobody may write while a reader holds it.
    const DWORD sharing = mode == OpenMode::ReadExisting ? FILE_SHARE_READ : 0;
    auto handle =
        std::make_unique<UniqueHandle>(::CreateFileA(path.c_str(), request.access, sharing, nullptr,
                                                     request.disposition, request.flags, nullptr));
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

bool NativeFileSystem::SameFile(const std::string& first, const std::string& second) {
    // Opened for their attributes only, sharing everything: a port in use
    // elsewhere is still looked at, never taken.
    const auto info = [](const std::string& path) -> std::optional<BY_HANDLE_FILE_INFORMATION> {
        const UniqueHandle handle(
            ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION result{};
        if (!handle.Valid() || !::GetFileInformationByHandle(handle.Get(), &result)) {
            return std::nullopt;
        }
        return result;
    };
    const auto a = info(first);
    const auto b = info(second);
    return a && b && a->dwVolumeSerialNumber == b->dwVolumeSerialNumber &&
           a->nFileIndexHigh == b->nFileIndexHigh && a->nFileIndexLow == b->nFileIndexLow;
}

std::unique_ptr<IFile> NativeFileSystem::OpenForAppend(const std::string& path,
                                                       std::string& error) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        error = SystemErrorText(ERROR_INVALID_NAME);
        return nullptr;
    }
    // Shared with other readers and writers, as a record several stations add
    // to. Read too, so a last line cut short can be seen; a record we may only
    // write to is still appended to.
    const auto open = [&path](DWORD access) {
        return std::make_unique<UniqueHandle>(::CreateFileA(
            path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    };
    auto handle = open(GENERIC_READ | GENERIC_WRITE);
    if (!handle->Valid() && ::GetLastError() == ERROR_ACCESS_DENIED) {
        handle = open(GENERIC_WRITE);
    }
    if (!handle->Valid()) {
        error = SystemErrorText(::GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle->Get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(handle->Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "is not a regular file";
        return nullptr;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        error = "is a symbolic link; it is never followed";
        return nullptr;
    }
    return std::make_unique<AppendingFile>(std::move(handle));
}

namespace {

// Session folders are named by this prefix; only such folders are ever taken
// for abandoned ones.
constexpr std::string_view kSessionFolderPrefix = "vorenta-session-";
// Made in every session folder: only a folder holding it is ever taken for an
// abandoned one, so another folder of that name is never emptied.
constexpr std::string_view kSessionMarker = ".vorenta-session";
constexpr int kSessionFolderAttempts = 8;
constexpr int kRandomNameChars = 8;
constexpr std::size_t kListingBufferBytes = 16384;

// A session holds its folder with this access and sharing. Without
// FILE_SHARE_DELETE nobody else can open it for deletion (or renaming) while
// it is held; it itself may delete it at the end.
constexpr DWORD kFolderAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL;
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kFolderFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

// Owns a FindFirstFileA search.
class FolderListing {
  public:
    explicit FolderListing(const std::string& pattern)
        : search_(::FindFirstFileA(pattern.c_str(), &entry_)) {}
    ~FolderListing() {
        if (search_ != INVALID_HANDLE_VALUE) {
            ::FindClose(search_);
        }
    }
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // The next entry, or null at the end.
    const WIN32_FIND_DATAA* Next() {
        if (search_ == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        if (first_) {
            first_ = false;
            return &entry_;
        }
        return ::FindNextFileA(search_, &entry_) ? &entry_ : nullptr;
    }

  private:
    WIN32_FIND_DATAA entry_{};
    HANDLE search_;
    bool first_ = true;
};

// The name `path` in the form the ...W calls take, converted as the ...A
// calls convert it; empty when it cannot be.
std::wstring WideName(const std::string& path) {
    const UINT codePage = ::AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    const int length = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(),
                                             static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(),
                          static_cast<int>(path.size()), wide.data(), length);
    return wide;
}

// Deletes the files directly in the held folder `folder` (its path with the
// trailing separator); a link goes, not what it points to, and folders in it
// stay (a session makes none). The entries are read through the handle: a
// search by name would have to share the folder for deletion, which its holder
// does not allow.
void RemoveFolderContents(HANDLE held, const std::string& folder) {
    const std::wstring base = WideName(folder);
    if (base.empty()) {
        return;
    }
    // Aligned as the entries require.
    std::vector<std::uint64_t> buffer(kListingBufferBytes / sizeof(std::uint64_t));
    FILE_INFO_BY_HANDLE_CLASS request = FileFullDirectoryRestartInfo;
    std::vector<std::wstring> names;
    while (::GetFileInformationByHandleEx(held, request, buffer.data(), kListingBufferBytes)) {
        request = FileFullDirectoryInfo;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes);
            const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L".." &&
                (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                names.push_back(name);
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            bytes += entry->NextEntryOffset;
        }
    }
    for (const std::wstring& name : names) {
        ::DeleteFileW((base + name).c_str());
    }
}

// The folder goes when the handle is closed, if it is empty by then.
void RemoveWhenClosed(HANDLE folder) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    ::SetFileInformationByHandle(folder, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Opens `path` for use or removal when it is a folder (not a link to one)
// that nobody holds; invalid otherwise.
std::unique_ptr<UniqueHandle> HoldFolder(const std::string& path) {
    auto folder = std::make_unique<UniqueHandle>(
        ::CreateFileA(path.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                      kFolderFlags, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder->Valid() || !::GetFileInformationByHandle(folder->Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return nullptr;
    }
    return folder;
}

// Folders of sessions that ended without removing theirs: a living session
// holds its own, so it cannot be opened here.
void RemoveAbandonedSessionFolders(const std::string& base, const UserOnlyAccess& access) {
    FolderListing listing(base + std::string(kSessionFolderPrefix) + "*");
    while (const WIN32_FIND_DATAA* entry = listing.Next()) {
        const std::string_view name(entry->cFileName);
        if (name.rfind(kSessionFolderPrefix, 0) != 0 || !IsPlainFileName(name) ||
            (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            continue;
        }
        const std::string path = base + entry->cFileName;
        const auto folder = HoldFolder(path);
        const DWORD marker =
            ::GetFileAttributesA((path + '\\' + std::string(kSessionMarker)).c_str());
        if (!folder || !access.Owns(folder->Get()) || marker == INVALID_FILE_ATTRIBUTES ||
            IsLinkOrFolder(marker)) {
            continue;
        }
        RemoveFolderContents(folder->Get(), path + '\\');
        RemoveWhenClosed(folder->Get());
    }
}

// Random letters and digits from the system's generator. Should it fail, the
// time and process make the name: CreateDirectoryA still refuses a name that
// is taken, so the name only has to be hard to guess, not unique.
std::string RandomNamePart(int attempt) {
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::array<std::uint8_t, kRandomNameChars> bytes{};
    if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        std::uint64_t seed = ::GetTickCount64() * 1000003U +
                             std::uint64_t{::GetCurrentProcessId()} * 31U +
                             static_cast<std::uint64_t>(attempt);
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(seed);
            seed = seed * 6364136223846793005U + 1442695040888963407U;
        }
    }
    std::string part;
    for (const std::uint8_t byte : bytes) {
        part += kDigits[byte % kDigits.size()];
    }
    return part;
}

class Win32SessionFolder : public ISessionFolder {
  public:
    Win32SessionFolder(std::string path, std::unique_ptr<UniqueHandle> folder)
        : path_(std::move(path)), folder_(std::move(folder)) {}

    ~Win32SessionFolder() override {
        RemoveFolderContents(folder_->Get(), path_);
        RemoveWhenClosed(folder_->Get());
    }
    Win32SessionFolder(const Win32SessionFolder&) = delete;
    Win32SessionFolder& operator=(const Win32SessionFolder&) = delete;

    const std::string& Path() const override { return path_; }

    std::unique_ptr<IFile> CreateFile(std::string_view name) override {
        if (!IsPlainFileName(name)) {
            return nullptr;
        }
        const std::string path = path_ + std::string(name);
        ::DeleteFileA(path.c_str());
        // CREATE_NEW never follows a link left under that name; share mode 0
        // keeps the file to this session.
        auto handle = std::make_unique<UniqueHandle>(
            ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
        // A device name ("NUL", "COM1") opens the device, which is no file.
        if (!handle->Valid() || ::GetFileType(handle->Get()) != FILE_TYPE_DISK) {
            return nullptr;
        }
        return std::make_unique<Win32File>(std::move(handle));
    }

  private:
    std::string path_;                      // with its trailing backslash
    std::unique_ptr<UniqueHandle> folder_;  // held: nobody else can delete it
};

}  // namespace

std::unique_ptr<ISessionFolder> NativeFileSystem::MakeSessionFolder(const std::string& parent,
                                                                    std::string& why) {
    if (parent.empty() || parent.find('\0') != std::string::npos) {
        why = "no folder is named";
        return nullptr;
    }
    std::string base = parent;
    if (base.back() != '\\' && base.back() != '/') {
        base += '\\';
    }
    UserOnlyAccess access;
    if (access.Attributes() == nullptr) {
        why = "no access rights for this user alone can be made";
        return nullptr;
    }
    RemoveAbandonedSessionFolders(base, access);

    for (int attempt = 0; attempt < kSessionFolderAttempts; ++attempt) {
        const std::string path = base + std::string(kSessionFolderPrefix) + RandomNamePart(attempt);
        if (!::CreateDirectoryA(path.c_str(), access.Attributes())) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            why = SystemErrorText(error);
            return nullptr;
        }
        // Another session may have taken the new folder for an abandoned one
        // before it was held: then it is gone (or going), and a new one is made.
        auto folder = HoldFolder(path);
        if (folder) {
            // Without its mark the folder is only left behind should the
            // session be killed; the session itself goes on.
            const UniqueHandle marker(
                ::CreateFileA((path + '\\' + std::string(kSessionMarker)).c_str(), GENERIC_WRITE, 0,
                              access.Attributes(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            return std::make_unique<Win32SessionFolder>(path + '\\', std::move(folder));
        }
        ::RemoveDirectoryA(path.c_str());
    }
    why = "no folder of its own could be made and held there";
    return nullptr;
}

}  // namespace vorenta
