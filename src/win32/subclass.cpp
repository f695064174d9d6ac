#include <win32/subclass.h>

#include <win32/app.h>

namespace win32 {

namespace {

struct Subclassing {
    decltype(&SetWindowSubclass) set;
    decltype(&RemoveWindowSubclass) remove;
    decltype(&DefSubclassProc) next;
};

const Subclassing& Functions() {
    static const Subclassing functions{
        CommonControls().Function<decltype(&SetWindowSubclass)>("SetWindowSubclass"),
        CommonControls().Function<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass"),
        CommonControls().Function<decltype(&DefSubclassProc)>("DefSubclassProc")};
    return functions;
}

}  // namespace

bool Subclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    return Functions().set && Functions().set(hwnd, proc, id, data);
}

void Unsubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
    if (Functions().remove) Functions().remove(hwnd, proc, id);
}

LRESULT CallNextProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Only subclassed windows ask, so comctl32 is there.
    return Functions().next(hwnd, msg, wParam, lParam);
}

}  // namespace win32
