// A policy key's DACL (the AutoRun key's unless another is named), set from inside Wine: with
// "D:(A;;KR;;;WD)" every write and deletion on it is refused with 5, as Windows refuses them to a
// user without administrator rights; "D:(A;;KA;;;WD)" opens it up again. Kept for this run only.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

inline void SetPolicyDacl(
    const wchar_t* dacl,
    const wchar_t* path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer") {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(dacl, SDDL_REVISION_1, &sd, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd));
    LocalFree(sd);
    RegCloseKey(key);
}
