#include "platform/win32/Win32LogFolder.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/win32/PlainName.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/UniqueHandle.h"

#include <shlobj.h>

namespace vorenta {

namespace {

constexpr std::string_view kLogsFolderName = "logs";

bool IsLinkOrFolder(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

class HandleLogWriter : public ILogWriter {
  public:
    explicit HandleLogWriter(std::unique_ptr<UniqueHandle> file) : file_(std::move(file)) {}

    bool Write(std::string_view text) override {
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1U << 30));
            if (!::WriteFile(file_->Get(), text.data(), piece, &written, nullptr) || written == 0) {
                return false;
            }
            text.remove_prefix(written);
        }
        return true;
    }

  private:
    std::unique_ptr<UniqueHandle> file_;
};

// Opens a regular file of the folder, never through a link; invalid otherwise.
std::unique_ptr<UniqueHandle> OpenRegularFile(const std::string& path, DWORD access,
                                              DWORD sharing) {
    auto file = std::make_unique<UniqueHandle>(
        ::CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file->Valid() || ::GetFileType(file->Get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file->Get(), &info) ||
        IsLinkOrFolder(info.dwFileAttributes)) {
        return nullptr;
    }
    return file;
}

}  // namespace

bool Win32LogFolder::FolderUsable(std::string& error) const {
    const DWORD attributes = ::GetFileAttributesA(folder_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = folder_ + ": " + SystemErrorText(::GetLastError());
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        error = folder_ + ": not a folder (or a link)";
        return false;
    }
    return true;
}

std::unique_ptr<ILogWriter> Win32LogFolder::Create(const std::string& name, std::string& error) {
    if (folder_.empty()) {
        error = "no folder for application data is known";
        return nullptr;
    }
    if (!IsPlainFileName(name)) {
        error = "not a file name: " + name;
        return nullptr;
    }
    // The company's folder first, then the logs' folder in it.
    const std::size_t last = folder_.find_last_of('\\');
    if (last != std::string::npos) {
        ::CreateDirectoryA(folder_.substr(0, last).c_str(), nullptr);
    }
    if (!::CreateDirectoryA(folder_.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        error = folder_ + ": cannot create the folder: " + SystemErrorText(::GetLastError());
        return nullptr;
    }
    if (!FolderUsable(error)) {
        return nullptr;
    }
    // CREATE_NEW: never an existing file, nor one reached through a link.
    const std::string path = PathOf(name);
    auto file = std::make_unique<UniqueHandle>(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                                             FILE_SHARE_READ, nullptr, CREATE_NEW,
                                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file->Valid()) {
        error = path + ": " + SystemErrorText(::GetLastError());
        return nullptr;
    }
    if (::GetFileType(file->Get()) != FILE_TYPE_DISK) {
        error = path + ": not a file";
        return nullptr;
    }
    return std::make_unique<HandleLogWriter>(std::move(file));
}

bool Win32LogFolder::Exists(const std::string& name) {
    return !folder_.empty() && IsPlainFileName(name) &&
           ::GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Win32LogFolder::ListProblem() {
    if (folder_.empty()) {
        return "no folder for application data is known";
    }
    if (::GetFileAttributesA(folder_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return folder_ + ": " + SystemErrorText(error);
        }
        // Missing: made with the first log, unless a file stands where a
        // folder above it must be.
        std::string above = folder_;
        for (std::size_t last = above.find_last_of('\\'); last != std::string::npos && last > 0;
             last = above.find_last_of('\\')) {
            above.resize(last);
            const DWORD attributes = ::GetFileAttributesA(above.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES) {
                return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                           ? std::string()
                           : folder_ + ": " + above + " is not a folder";
            }
        }
        return {};
    }
    std::string error;
    return FolderUsable(error) ? std::string() : error;
}

std::vector<std::string> Win32LogFolder::List() {
    std::vector<std::string> names;
    std::string error;
    if (folder_.empty() || !FolderUsable(error)) {
        return names;
    }
    WIN32_FIND_DATAA entry{};
    const HANDLE search = ::FindFirstFileA((folder_ + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!IsLinkOrFolder(entry.dwFileAttributes) && IsPlainFileName(entry.cFileName)) {
            names.emplace_back(entry.cFileName);
        }
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
    return names;
}

std::string Win32LogFolder::ReadPart(const std::string& name, std::size_t maxBytes, bool tail) {
    std::string error;
    if (folder_.empty() || !IsPlainFileName(name) || !FolderUsable(error)) {
        return {};
    }
    // A log still being written is read too.
    const auto file =
        OpenRegularFile(PathOf(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file->Get(), &size) || size.QuadPart < 0) {
        return {};
    }
    const auto length = static_cast<std::uint64_t>(size.QuadPart);
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(length, std::min<std::size_t>(maxBytes, 1U << 30)));
    LARGE_INTEGER start{};
    start.QuadPart = tail ? static_cast<LONGLONG>(length - count) : 0;
    if (!::SetFilePointerEx(file->Get(), start, nullptr, FILE_BEGIN)) {
        return {};
    }
    std::string part(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        DWORD n = 0;
        if (!::ReadFile(file->Get(), part.data() + got, static_cast<DWORD>(count - got), &n,
                        nullptr) ||
            n == 0) {
            break;
        }
        got += n;
    }
    part.resize(got);
    return part;
}

bool Win32LogFolder::Remove(const std::string& name) {
    std::string error;
    if (folder_.empty() || !IsPlainFileName(name) || !FolderUsable(error)) {
        return false;
    }
    // Checked through the handle, then marked for deletion: what goes is what was checked.
    const auto file = OpenRegularFile(PathOf(name), DELETE | FILE_READ_ATTRIBUTES, 0);
    if (!file) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file->Get(), FileDispositionInfo, &disposition,
                                        sizeof(disposition)) != FALSE;
}

std::string SessionLogFolderPath(std::string_view company) {
    std::array<char, MAX_PATH> appData{};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                  appData.data())) ||
        appData[0] == '\0') {
        return {};
    }
    return std::string(appData.data()) + '\\' + std::string(company) + '\\' +
           std::string(kLogsFolderName);
}

}  // namespace vorenta
