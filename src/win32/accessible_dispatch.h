// IDispatch for an IAccessible without a type library: a client that goes through IDispatch (a
// script, an old screen reader) reaches the same methods as one that calls them directly.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace win32 {

// GetIDsOfNames for IAccessible's members ("accName", ...).
HRESULT AccessibleIdsOfNames(LPOLESTR* names, UINT count, DISPID* ids);

// Invoke of a DISPID_ACC_* member on self, with IAccessible's arguments by position (a missing
// child is CHILDID_SELF). clear frees a result nobody asked for.
HRESULT InvokeAccessible(IAccessible& self, DISPID id, WORD flags, const DISPPARAMS* params,
                         VARIANT* result, UINT* badArgument, decltype(&VariantClear) clear);

}  // namespace win32
