#include "platform/win32/UserOnlyAccess.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace vorenta {

namespace {

// A copy of one SID the token holds (TokenUser or TokenOwner); empty when it
// cannot be read.
std::vector<BYTE> TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS which) {
    DWORD size = 0;
    ::GetTokenInformation(token, which, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, which, buffer.data(), size, &size)) {
        return {};
    }
    PSID sid = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                  : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
    if (sid == nullptr || !::IsValidSid(sid)) {
        return {};
    }
    const DWORD length = ::GetLengthSid(sid);
    std::vector<BYTE> copy(length);
    if (!::CopySid(length, copy.data(), sid)) {
        return {};
    }
    return copy;
}

bool Matches(PSID owner, const std::vector<BYTE>& sid) {
    return !sid.empty() && ::EqualSid(owner, const_cast<BYTE*>(sid.data())) != FALSE;
}

}  // namespace

UserOnlyAccess::UserOnlyAccess() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return;
    }
    const UniqueHandle token(rawToken);
    user_ = TokenSid(token.Get(), TokenUser);
    defaultOwner_ = TokenSid(token.Get(), TokenOwner);
    if (user_.empty()) {
        return;
    }
    LPSTR userText = nullptr;
    if (!::ConvertSidToStringSidA(user_.data(), &userText)) {
        return;
    }
    // A protected list (nothing inherited from the parent) with one entry:
    // full access for this user, passed on to files and folders made inside.
    const std::string sddl = std::string("D:P(A;OICI;FA;;;") + userText + ")";
    ::LocalFree(userText);
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor_, nullptr)) {
        descriptor_ = nullptr;
        return;
    }
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

UserOnlyAccess::~UserOnlyAccess() {
    if (descriptor_ != nullptr) {
        ::LocalFree(descriptor_);
    }
}

SECURITY_ATTRIBUTES* UserOnlyAccess::Attributes() {
    return descriptor_ != nullptr ? &attributes_ : nullptr;
}

bool UserOnlyAccess::Owns(HANDLE handle) const {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const bool ours = owner != nullptr && (Matches(owner, user_) || Matches(owner, defaultOwner_));
    ::LocalFree(descriptor);
    return ours;
}

}  // namespace vorenta
