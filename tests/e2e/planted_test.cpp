// The program runs elevated, often from a Downloads folder: DLLs planted beside it under the names
// of ones it loads must never be loaded, whatever the user does. Run from the planted copy of its
// folder (see tests/CMakeLists.txt).
#include "driver.h"

namespace e2e {
namespace {

class PlantedDlls : public Session {
  protected:
    void TearDown() override {  // also after a step that failed, before the folder goes
        std::error_code ignored;
        for (const auto& file : fs::directory_iterator(dir, ignored)) {
            EXPECT_NE(fs::path(".loaded"), file.path().extension()) << file.path();
        }
        Session::TearDown();
    }
};

// Every action that makes the program load a DLL at run time, in one session: the clip, the
// sound spot, the licence, the desktop effect, and OK raised through an elevated copy of itself,
// which then starts from the same folder.
TEST_F(PlantedDlls, NoneIsLoadedWhateverTheUserDoes) {
    Copy();
    ASSERT_TRUE(fs::exists(dir / L"msacm32.dll")) << "not run from the planted folder";
    SetDllDirectoryW(dir.c_str());  // a search that reaches them does load them in this run
    FreeLibrary(LoadLibraryW(L"msacm32.dll"));
    SetDllDirectoryW(nullptr);
    ASSERT_TRUE(fs::remove(dir / L"msacm32.dll.loaded")) << "native DLLs are not preferred";

    Start(LimitedToken().Get());
    OpenAbout();
    EXPECT_TRUE(ClipPlays());
    Click(Ctl(kSpot));
    Click(Ctl(kLicence));
    const HWND notepad = Find(0, IsNotepad);
    EXPECT_TRUE(notepad && !Find(pid, IsBox, 0)) << "the licence does not open";
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    Click(Ctl(kQuorrel));
    const HWND effect = Effect();
    EXPECT_TRUE(effect) << "no effect window";
    XAt(effect, "key a");
    EXPECT_TRUE(Gone(effect) && Gone(about) && WaitUntil([&] { return IsWindowEnabled(main); }));
    Click(Ok());
    const HWND box = Find(pid, IsBox);
    EXPECT_NE(std::wstring::npos, Read(box).find(L"Update successful.")) << "the write failed";
    XAt(box, "key Return");
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
}  // namespace e2e
