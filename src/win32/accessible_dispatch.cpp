#include <win32/accessible_dispatch.h>

namespace win32 {

namespace {

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr Member kMembers[] = {
    {L"accParent", DISPID_ACC_PARENT},
    {L"accChildCount", DISPID_ACC_CHILDCOUNT},
    {L"accChild", DISPID_ACC_CHILD},
    {L"accName", DISPID_ACC_NAME},
    {L"accValue", DISPID_ACC_VALUE},
    {L"accDescription", DISPID_ACC_DESCRIPTION},
    {L"accRole", DISPID_ACC_ROLE},
    {L"accState", DISPID_ACC_STATE},
    {L"accHelp", DISPID_ACC_HELP},
    {L"accKeyboardShortcut", DISPID_ACC_KEYBOARDSHORTCUT},
    {L"accFocus", DISPID_ACC_FOCUS},
    {L"accSelection", DISPID_ACC_SELECTION},
    {L"accDefaultAction", DISPID_ACC_DEFAULTACTION},
    {L"accSelect", DISPID_ACC_SELECT},
    {L"accNavigate", DISPID_ACC_NAVIGATE},
    {L"accHitTest", DISPID_ACC_HITTEST},
    {L"accDoDefaultAction", DISPID_ACC_DODEFAULTACTION},
};

// The positional arguments: numbers, of which a missing one is CHILDID_SELF.
class Arguments {
  public:
    explicit Arguments(const DISPPARAMS& params) : params_(params) {}
    bool Get(UINT i, long* out) const {
        *out = CHILDID_SELF;
        if (i >= params_.cArgs) return true;
        const VARIANT& v = params_.rgvarg[params_.cArgs - 1 - i];  // the last one comes first
        if (v.vt == VT_I4) *out = v.lVal;
        if (v.vt == VT_I2) *out = v.iVal;
        return v.vt == VT_I4 || v.vt == VT_I2 || v.vt == VT_EMPTY ||
               (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
    }
    bool Child(UINT i, VARIANT* child) const {
        child->vt = VT_I4;
        return Get(i, &child->lVal);
    }

  private:
    const DISPPARAMS& params_;
};

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

HRESULT GetText(IAccessible& self, TextGetter get, const VARIANT& child, VARIANT* result) {
    BSTR text = nullptr;
    const HRESULT hr = (self.*get)(child, &text);
    if (SUCCEEDED(hr)) result->vt = VT_BSTR, result->bstrVal = text;
    return hr;
}

HRESULT AsDispatch(HRESULT hr, IDispatch* object, VARIANT* result) {
    if (SUCCEEDED(hr)) result->vt = VT_DISPATCH, result->pdispVal = object;
    return hr;
}

HRESULT Get(IAccessible& self, DISPID id, const VARIANT& child, VARIANT* result) {
    IDispatch* object = nullptr;
    switch (id) {
        case DISPID_ACC_PARENT:
            return AsDispatch(self.get_accParent(&object), object, result);
        case DISPID_ACC_CHILDCOUNT:
            result->vt = VT_I4;
            return self.get_accChildCount(&result->lVal);
        case DISPID_ACC_CHILD:
            return AsDispatch(self.get_accChild(child, &object), object, result);
        case DISPID_ACC_NAME:
            return GetText(self, &IAccessible::get_accName, child, result);
        case DISPID_ACC_VALUE:
            return GetText(self, &IAccessible::get_accValue, child, result);
        case DISPID_ACC_DESCRIPTION:
            return GetText(self, &IAccessible::get_accDescription, child, result);
        case DISPID_ACC_HELP:
            return GetText(self, &IAccessible::get_accHelp, child, result);
        case DISPID_ACC_KEYBOARDSHORTCUT:
            return GetText(self, &IAccessible::get_accKeyboardShortcut, child, result);
        case DISPID_ACC_DEFAULTACTION:
            return GetText(self, &IAccessible::get_accDefaultAction, child, result);
        case DISPID_ACC_ROLE:
            return self.get_accRole(child, result);
        case DISPID_ACC_STATE:
            return self.get_accState(child, result);
        case DISPID_ACC_FOCUS:
            return self.get_accFocus(result);
        case DISPID_ACC_SELECTION:
            return self.get_accSelection(result);
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT Call(IAccessible& self, DISPID id, const Arguments& args, VARIANT* result) {
    VARIANT child;
    long a = 0, b = 0;
    switch (id) {
        case DISPID_ACC_DODEFAULTACTION:
            if (!args.Child(0, &child)) return DISP_E_TYPEMISMATCH;
            return self.accDoDefaultAction(child);
        case DISPID_ACC_SELECT:
            if (!args.Get(0, &a) || !args.Child(1, &child)) return DISP_E_TYPEMISMATCH;
            return self.accSelect(a, child);
        case DISPID_ACC_NAVIGATE:
            if (!args.Get(0, &a) || !args.Child(1, &child)) return DISP_E_TYPEMISMATCH;
            return self.accNavigate(a, child, result);
        case DISPID_ACC_HITTEST:
            if (!args.Get(0, &a) || !args.Get(1, &b)) return DISP_E_TYPEMISMATCH;
            return self.accHitTest(a, b, result);
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace

HRESULT AccessibleIdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;  // the names after the first would be arguments: none have names
        for (const Member& m : kMembers) {
            if (i == 0 && names[i] && lstrcmpiW(names[i], m.name) == 0) ids[i] = m.id;
        }
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT InvokeAccessible(IAccessible& self, DISPID id, WORD flags, const DISPPARAMS* params,
                         VARIANT* result, UINT* badArgument, decltype(&VariantClear) clear) {
    if (!params) return E_INVALIDARG;
    VARIANT unused;
    VARIANT* out = result ? result : &unused;
    out->vt = VT_EMPTY;
    const Arguments args(*params);
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    if (flags & DISPATCH_PROPERTYGET) {
        VARIANT child;
        hr = args.Child(0, &child) ? Get(self, id, child, out) : DISP_E_TYPEMISMATCH;
    }
    if (hr == DISP_E_MEMBERNOTFOUND && (flags & DISPATCH_METHOD)) hr = Call(self, id, args, out);
    if (hr == DISP_E_TYPEMISMATCH && badArgument) *badArgument = 0;
    if (!result) clear(&unused);
    return hr;
}

}  // namespace win32
