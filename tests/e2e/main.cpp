// The end-to-end test program. Usage:
//   tessaro_e2e_tests.exe PATH\TO\tessaro.exe [--gtest_...]
// The path may be a Windows path or a Unix one (as ctest passes it); a Unix path is turned into
// Wine's name for it. Environment: TESSARO_E2E_DPI, the DPI the prefix was prepared with
// (default 96); TESSARO_E2E_ARTIFACTS, a folder (Windows or Unix path) that receives a
// screenshot of the screen at the first failure of each test.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "e2e/harness.h"

namespace {

std::wstring WindowsPath(const std::wstring& given) {
    std::wstring path = given;
    if (!given.empty() && given[0] == L'/') {
        std::string unixPath(given.size() * 4, '\0');
        unixPath.resize(WideCharToMultiByte(CP_UTF8, 0, given.c_str(),
                                            static_cast<int>(given.size()), unixPath.data(),
                                            static_cast<int>(unixPath.size()), nullptr, nullptr));
        path = e2e::DosPath(unixPath);
    }
    if (path.empty()) return {};
    wchar_t full[MAX_PATH * 4] = {};
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : path;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH * 4] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH * 4);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(value, n) : std::wstring();
}

void CreateFolders(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 2) CreateFolders(path.substr(0, slash));
    CreateDirectoryW(path.c_str(), nullptr);
}

// Keeps what the screen showed when a test first went wrong: by the end of the test the
// program's windows are gone.
class ScreenAtFailure : public testing::EmptyTestEventListener {
  public:
    explicit ScreenAtFailure(std::wstring folder) : folder_(std::move(folder)) {}

    void OnTestStart(const testing::TestInfo&) override { saved_ = false; }
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (saved_ || !result.failed()) return;
        saved_ = true;
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        if (!test) return;
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name) {
            if (c == '/' || c == '\\' || c == ':') c = '_';
        }
        CreateFolders(folder_);
        const std::wstring path =
            folder_ + L"\\" + std::wstring(name.begin(), name.end()) + L".bmp";
        if (e2e::SaveBmp(e2e::CaptureScreen(), path)) {
            std::printf("[ screen   ] %ls\n", path.c_str());
        }
    }

  private:
    std::wstring folder_;
    bool saved_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    // Window and screen coordinates in physical pixels, whatever the DPI of the run.
    using SetAwareness = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const FARPROC proc =
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")) {
        reinterpret_cast<SetAwareness>(reinterpret_cast<void (*)()>(proc))(
            DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }

    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (argc > 1 && wargc > 1 && std::string(argv[1]).rfind("--", 0) != 0) {
        const std::wstring exe = WindowsPath(wargv[1]);
        if (exe.empty() || GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "no program at %s\n", argv[1]);
            return 2;
        }
        e2e::SetTessaroExe(exe);
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
        --argc;
    }
    LocalFree(wargv);

    e2e::PreparePrefix();
    testing::InitGoogleTest(&argc, argv);
    if (e2e::TessaroExe().empty() && !testing::GTEST_FLAG(list_tests)) {
        std::fprintf(stderr, "usage: %s PATH\\TO\\tessaro.exe [--gtest_...]\n", argv[0]);
        return 2;
    }
    if (const std::wstring folder = WindowsPath(Environment(L"TESSARO_E2E_ARTIFACTS"));
        !folder.empty()) {
        testing::UnitTest::GetInstance()->listeners().Append(new ScreenAtFailure(folder));
    }
    return RUN_ALL_TESTS();
}
