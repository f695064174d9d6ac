// A user without administrator rights runs the program from a Downloads folder where DLLs were
// planted beside it under the names of ones it loads: none may ever be loaded, whatever the user
// does, and OK raises only the write. Run from the planted copy of its folder.
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
// sound spot, the licence, the desktop effect, and OK, whose write an elevated copy of the
// program makes, started from the same folder.
TEST_F(PlantedDlls, NoneIsLoadedWhateverTheUserDoesAndOkRaisesOnlyTheWrite) {
    Copy();
    ASSERT_TRUE(fs::exists(dir / L"msacm32.dll")) << "not run from the planted folder";
    SetDllDirectoryW(dir.c_str());  // a search that reaches them does load them in this run
    FreeLibrary(LoadLibraryW(L"msacm32.dll"));
    SetDllDirectoryW(nullptr);
    ASSERT_TRUE(fs::remove(dir / L"msacm32.dll.loaded")) << "native DLLs are not preferred";

    Start(LimitedToken().Get());  // Wine starts every program elevated
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

    // Every process the program starts joins its job, so the job counts the elevated copy.
    const win32::ScopedHandle job(CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(AssignProcessToJobObject(job.Get(), process.Get()));
    Click(Ok());
    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(
        L"Tessaro|Update successful. Changes will take effect after the next computer "
        L"boot.|information|OK",
        Read(box));
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION jobInfo{};
    QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &jobInfo,
                              sizeof jobInfo, nullptr);
    EXPECT_EQ(2u, jobInfo.TotalProcesses) << "the write was not made by an elevated copy";
    EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{255, 0, 0, 0}),
              Snapshot()[kPolicy]);
    XAt(box, "key Return");
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
}  // namespace e2e
