#include <win32/accessible.h>

#include <utility>

#include <win32/accessible_dispatch.h>
#include <win32/system_library.h>

namespace win32 {

namespace {

// mingw's import library carries a wrong IID_IAccessible; these are the registered ones.
constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr IID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr CLSID kClsidAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long kPolite = 1;
constexpr DWORD kEventLiveRegionChanged = 0x8019;

// oleacc and OLE's strings and variants from the system folder, kept once a screen reader has
// asked: oleacc is no KnownDLL.
struct Oleacc {
    SystemLibrary library{L"oleacc.dll"};
    SystemLibrary oleaut32{L"oleaut32.dll"};
    decltype(&CreateStdAccessibleObject) createStd =
        library.Function<decltype(&CreateStdAccessibleObject)>("CreateStdAccessibleObject");
    decltype(&LresultFromObject) lresultFrom =
        library.Function<decltype(&LresultFromObject)>("LresultFromObject");
    decltype(&SysAllocStringLen) allocString =
        oleaut32.Function<decltype(&SysAllocStringLen)>("SysAllocStringLen");
    decltype(&VariantClear) clearVariant =
        oleaut32.Function<decltype(&VariantClear)>("VariantClear");
};
const Oleacc& OleaccFunctions() {
    static const Oleacc functions;
    return functions;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    // Only asked for through an object made with these functions, so they are there.
    *out = OleaccFunctions().allocString(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// One object for the window: what info says, and for the rest Windows' own object, which is
// used and never handed out.
class Element final : public IAccessible, public IOleWindow {
  public:
    Element(HWND hwnd, IAccessible* standard, AccessibleInfo info)
        : hwnd_(hwnd), standard_(standard), info_(std::move(info)) {}
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == IID_IOleWindow) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    // IOleWindow: the window a client finds the element by
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch, onto this object's own IAccessible, without a type library
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return AccessibleIdsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argument) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return InvokeAccessible(*this, id, flags, params, result, argument,
                                OleaccFunctions().clearVariant);
    }

    // IAccessible: what info gives, for the element itself
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (IsSelf(child) && !info_.name.empty()) return Text(info_.name, name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (IsSelf(child) && !info_.description.empty()) return Text(info_.description, text);
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || !info_.role) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = info_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        state->vt = VT_EMPTY;  // an [out] value: what the caller left there is not ours to free
        const HRESULT hr = standard_->get_accState(child, state);
        if (!IsSelf(child)) return hr;
        if (FAILED(hr) || state->vt != VT_I4) {
            if (SUCCEEDED(hr)) OleaccFunctions().clearVariant(state);  // what it gave is ours
            state->vt = VT_I4;
            state->lVal = 0;
        }
        // Focusable as the dialog manager sees it: a tab stop, any option of a group (the arrow
        // keys reach those without one), or the window itself.
        long& s = state->lVal;
        s &= ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_UNAVAILABLE);
        const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        if ((style & WS_TABSTOP) || !(style & WS_CHILD) || info_.role == ROLE_SYSTEM_RADIOBUTTON) {
            s |= STATE_SYSTEM_FOCUSABLE;
        }
        if (GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
        if (!TakesInput(hwnd_)) s |= STATE_SYSTEM_UNAVAILABLE;
        if (info_.role == ROLE_SYSTEM_RADIOBUTTON &&
            SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            s |= STATE_SYSTEM_CHECKED;
        }
        s |= info_.state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (IsSelf(child) && !info_.defaultAction.empty()) return Text(info_.defaultAction, action);
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || info_.defaultAction.empty()) {
            return standard_->accDoDefaultAction(child);
        }
        // Posted: the caller waits for this answer, and the action may open a modal window.
        if (!TakesInput(hwnd_)) return E_FAIL;
        return PostMessageW(hwnd_, kDefaultActionMessage, 0, 0) ? S_OK : E_FAIL;
    }
    // IAccessible: Windows' own answers
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        return standard_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    ~Element() { standard_->Release(); }

    LONG references_ = 1;
    HWND hwnd_;
    IAccessible* standard_;
    AccessibleInfo info_;
};

}  // namespace

LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const AccessibleInfo& info,
                        bool window) {
    const auto id = static_cast<LONG>(lParam);
    if (id != OBJID_CLIENT && !(window && id == OBJID_WINDOW)) return 0;
    const Oleacc& oleacc = OleaccFunctions();
    if (!oleacc.createStd || !oleacc.lresultFrom || !oleacc.allocString || !oleacc.clearVariant) {
        return 0;
    }
    IAccessible* standard = nullptr;
    if (FAILED(oleacc.createStd(hwnd, id, kIidAccessible, reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return 0;
    }
    auto* element = new Element(hwnd, standard, info);
    // The result holds its own reference until the client takes the object.
    const LRESULT result =
        oleacc.lresultFrom(kIidAccessible, wParam, static_cast<IAccessible*>(element));
    element->Release();
    return result > 0 ? result : 0;
}

void MarkPoliteLiveRegion(HWND hwnd) {
    // Through Dynamic Annotation, which UI Automation reads for windows it does not know itself.
    // ole32 is imported by nothing else either: it comes from the system folder.
    const SystemLibrary ole32(L"ole32.dll");
    const auto create = ole32.Function<decltype(&CoCreateInstance)>("CoCreateInstance");
    IAccPropServices* services = nullptr;
    if (!create || FAILED(create(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 kIidAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    VARIANT polite;
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                          kLiveSettingProperty, polite);
    services->Release();
}

void AnnounceLiveRegion(HWND hwnd) {
    NotifyWinEvent(kEventLiveRegionChanged, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace win32
