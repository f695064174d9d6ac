// What a screen reader finds in both windows, read as one reads it (MSAA, which UI Automation
// bridges), and a link opened through its default action.
#include <e2e/driver.h>

namespace {

using namespace e2e;

std::vector<std::wstring> ReadAll(HWND window) {
    std::vector<std::wstring> read{Accessible(window).Read()};
    for (HWND c : Children(window)) read.push_back(Accessible(c).Read());
    return read;
}

TEST_F(Session, ScreenReadersGetNamesRolesStatesAndDefaultActions) {
    CoInitialize(nullptr);
    Start();
    EXPECT_EQ((std::vector<std::wstring>{
                  L"client|Tessaro|||focusable,",
                  L"push button|Ok||Press|focused,focusable,",
                  L"radio button|Disable Autorun on all drives type (CD-ROM, DVD, USB Pendrive, "
                  L"network drive, RAM drive)|(Recommended)|Check|checked,focusable,",
                  L"radio button|Restore default||Check|focusable,",
                  L"push button|Info...||Press|focusable,",
                  L"static text|(Recommended)|||read only,",
                  L"static text|Now: Windows default.|||read only,",
              }),
              ReadAll(main));
    // The box has a name, though no caption; the pictures are named, and the sound spot is a
    // button. The focus is on the home page link.
    OpenAbout();
    Accessible frame;
    AccessibleObjectFromWindow(about, OBJID_WINDOW, kIidAccessible,
                               reinterpret_cast<void**>(&frame.p));
    EXPECT_EQ(L"dialog|About Tessaro|||focusable,", frame.Read());
    EXPECT_EQ((std::vector<std::wstring>{
                  L"dialog|About Tessaro|||focusable,",
                  L"link|http://tessaro.example.org/index.html||Jump|focused,focusable,linked,",
                  L"push button|Play sound||Press|focusable,",
                  L"link|General public license||Jump|focusable,linked,",
                  L"link|Quorrel|Shows a full-screen desktop shiver effect; a click or a key ends "
                  L"it|Jump|focusable,linked,",
                  L"static text|Copyright (C) 2026 the Tessaro developers. Free software, GNU "
                  L"General Public License v3.|||read only,",
                  L"static text|Tessaro|||read only,",
                  L"static text|English version|||read only,",
                  L"static text|This program is freeware. Check for updates on:|||read only,",
                  L"animation||||",
                  L"static text||||read only,",
                  L"graphic|Tessaro logo: a compact disc with a red cross|||",
                  L"graphic|A robot with a play button|||",
              }),
              ReadAll(about));
    // A link's default action opens it, as a click does.
    VARIANT self{};
    self.vt = VT_I4;
    EXPECT_EQ(S_OK, Accessible(Ctl(kLicence)).p->accDoDefaultAction(self));
    EXPECT_TRUE(Find(0, IsNotepad));
    CoUninitialize();
}

}  // namespace
