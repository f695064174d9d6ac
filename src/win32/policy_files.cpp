#include <win32/policy_files.h>

#include <windows.h>

#include <memory>
#include <string>

#include <win32/scoped_handles.h>
#include <win32/text.h>

namespace win32 {

namespace {

// A UNC path, "\\server\share\..." or "\\?\UNC\...", names a file on the network.
bool OnTheNetwork(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        return CompareStringOrdinal(path.c_str() + 4, 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL;
    }
    return path.starts_with(L"\\\\");
}

struct Job {
    std::wstring path;
    std::size_t maxSize;
    portable::FileContents result{portable::FileContents::kUnreadable, {}, 0};
};

portable::FileContents Failed(DWORD error) {
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? portable::FileContents::kMissing : portable::FileContents::kUnreadable,
            {},
            static_cast<std::int32_t>(error)};
}

portable::FileContents Read(const std::wstring& path, std::size_t maxSize) {
#if !defined(_WIN64)
    // The local policy lives in the real System32, which a 32-bit process sees redirected.
    void* redirection = nullptr;
    const bool undone = Wow64DisableWow64FsRedirection(&redirection);
#endif
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD openError = GetLastError();
#if !defined(_WIN64)
    if (undone) Wow64RevertWow64FsRedirection(redirection);
#endif
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return Failed(openError);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return Failed(GetLastError());
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxSize) {
        return {portable::FileContents::kUnreadable, {}, ERROR_FILE_TOO_LARGE};
    }
    portable::FileContents contents{
        portable::FileContents::kRead,
        std::vector<std::uint8_t>(static_cast<std::size_t>(size.QuadPart)), 0};
    std::size_t done = 0;
    while (done < contents.bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), contents.bytes.data() + done,
                        static_cast<DWORD>(contents.bytes.size() - done), &got, nullptr)) {
            return Failed(GetLastError());
        }
        if (got == 0) break;  // shorter than it said: read what is there
        done += got;
    }
    contents.bytes.resize(done);
    return contents;
}

DWORD WINAPI ReadInTheBackground(void* parameter) {
    // The thread owns one reference: a read that outlives its wait still has its job.
    const std::unique_ptr<std::shared_ptr<Job>> job(static_cast<std::shared_ptr<Job>*>(parameter));
    (*job)->result = Read((*job)->path, (*job)->maxSize);
    return 0;
}

}  // namespace

portable::FileContents PolicyFiles::ReadFile(const std::string& path, std::size_t maxSize) {
    std::wstring wide = Wide(path);
    std::wstring expanded(ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0), L'\0');
    if (!expanded.empty() && ExpandEnvironmentStringsW(wide.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()))) {
        expanded.pop_back();  // the NUL
        wide = expanded;
    }
    if (!OnTheNetwork(wide)) return Read(wide, maxSize);

    auto job = std::make_shared<Job>(Job{wide, maxSize});
    auto* reference = new std::shared_ptr<Job>(job);
    ScopedHandle thread(CreateThread(nullptr, 0, ReadInTheBackground, reference, 0, nullptr));
    if (!thread) {
        delete reference;
        return Failed(GetLastError());
    }
    if (WaitForSingleObject(thread.Get(), kNetworkReadMilliseconds) != WAIT_OBJECT_0) {
        return {portable::FileContents::kUnreadable, {}, WAIT_TIMEOUT};
    }
    return job->result;
}

std::string PolicyFiles::SystemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Utf8(std::wstring(folder, n)) : "C:\\Windows\\System32";
}

}  // namespace win32
