#include <frmAbout/frmAbout.h>

#include <frmAbout/about_media.h>
#include <frmAbout/start_doc.h>
#include <win32/app.h>
#include <resource_ids.h>

namespace tessaro {

namespace {

constexpr std::int16_t kEscape = 27;

win32::FormDesign AboutDesign() {
    win32::FormDesign d;
    d.clientWidth = 6135;
    d.clientHeight = 3180;
    d.position = POINT{2340, 1650};
    d.keyPreview = true;                  // Escape opens the licence wherever the focus is
    d.accessibleName = L"About Tessaro";  // its caption stays empty
    return d;
}

win32::LabelStyle PlainText(bool autoSize = false) {
    win32::LabelStyle s;
    s.autoSize = autoSize;
    return s;
}

HCURSOR Hand() {
    // Shared resource: loaded once by the system, never destroyed by us.
    static const HCURSOR hand =
        LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINK_HAND));
    return hand;
}

std::wstring FromAppFolder(const wchar_t* name) { return win32::AppPath() + name; }

void OpenLicence() { about::ReportShellResult(about::StartDoc(FromAppFolder(L"\\gpl.txt"))); }

}  // namespace

frmAbout::frmAbout(std::wstring productName, std::function<void()> runEffect)
    : win32::Form(AboutDesign()),
      productName_(std::move(productName)),
      runEffect_(std::move(runEffect)) {}

void frmAbout::CreateControls() {
    using win32::Label;
    using win32::TwipRect;

    // In tab order, which is also the stacking order: the first lies on top. The focusable ones
    // come first, in reading order: the home page, the sound, the licence, and the effect last,
    // so that an Enter pressed out of habit as the box opens never starts it.
    Label8 = &Add<win32::Link>(std::wstring(kHomePage) + L"/index.html",
                               TwipRect{960, 900, 3705, 195}, Hand());
    // An invisible spot over Image1 that takes the clicks there.
    Label1 = &Add<win32::HotSpot>(TwipRect{180, 2280, 195, 195}, L"Play sound");
    Label3 = &Add<win32::Link>(L"General public license", TwipRect{60, 2880, 1530, 195}, Hand());
    Label4 = &Add<win32::Link>(L"Quorrel", TwipRect{5280, 2880, 600, 195}, Hand());
    Label4->accessible.description =
        L"Shows a full-screen desktop shiver effect; a click or a key ends it";
    Label2 = &Add<Label>(
        L"Copyright (C) 2026 the Tessaro developers. Free software, GNU General Public License v3.",
        TwipRect{960, 1860, 5115, 435}, PlainText());
    lblVersione = &Add<Label>(L"lblVersione", TwipRect{960, 120, 4995, 195}, PlainText());
    Label5 = &Add<Label>(L"English version", TwipRect{960, 360, 1065, 195}, PlainText(true));
    // One line as wide as it takes: wrapped in a wider font, it would cover the link below it.
    Label6 = &Add<Label>(L"This program is freeware. Check for updates on:",
                         TwipRect{960, 600, 4095, 255}, PlainText(true));
    Animation1 = &Add<win32::Animation>(TwipRect{120, 840, 540, 570});
    // Only its one-pixel frame shows: the load gives it the window's colour.
    win32::LabelStyle frame;
    frame.border = true;
    frame.textColor = win32::SystemColor(COLOR_WINDOWTEXT);
    Label7 = &Add<Label>(L"", TwipRect{60, 780, 675, 675}, frame);
    Image2 = &Add<win32::Picture>(about::LoadGifResource(IDR_IMAGE2_GIF),
                                  TwipRect{60, 120, 510, 510}, true);
    Image2->accessible.name = L"Tessaro logo: a compact disc with a red cross";
    Image1 = &Add<win32::Picture>(about::LoadBitmapResource(IDB_IMAGE1),
                                  TwipRect{60, 1860, 750, 930}, true);
    Image1->accessible.name = L"A robot with a play button";

    Label1->onClick = [this] { Label1_Click(); };
    Label3->onClick = [this] { Label3_Click(); };
    Label4->onClick = [this] { Label4_Click(); };
    Label8->onClick = [this] { Label8_Click(); };
}

void frmAbout::Form_Load() {
    lblVersione->SetCaption(productName_);
    Animation1->SetBackColor(BackColor());
    Label7->SetBackColor(BackColor());
    // The clip is an optional data file: without it, or with one the control cannot play, the
    // window opens without the animation and says nothing.
    if (Animation1->Open(about::AnsiReadablePath(FromAppFolder(L"\\pellumo2.dll")))) {
        Animation1->Play();
    }
}

void frmAbout::Form_KeyUp(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    // Escape opens the licence like its link, whatever modifier is held, and leaves the
    // window open.
    if (KeyCode == kEscape) OpenLicence();
}

void frmAbout::Label1_Click() { about::PlaySoundFile(FromAppFolder(L"\\pellumo.dll")); }

void frmAbout::Label3_Click() { OpenLicence(); }

void frmAbout::Label4_Click() {
    runEffect_();
    Unload();
}

void frmAbout::Label8_Click() { about::ReportShellResult(about::StartDoc(kHomePage)); }

}  // namespace tessaro
