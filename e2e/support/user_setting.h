#pragma once
// A setting of the test prefix's registry for the length of a test.

#include <windows.h>

#include <string>

namespace korvena::e2e {

// A string value under HKEY_CURRENT_USER for the length of a test.
class UserSetting {
public:
    UserSetting(const wchar_t* key, const wchar_t* name, const std::wstring& value) : key_(key), name_(name) {
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(handle);
        }
    }
    ~UserSetting() { RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_); }
    UserSetting(const UserSetting&) = delete;
    UserSetting& operator=(const UserSetting&) = delete;

private:
    const wchar_t* key_;
    const wchar_t* name_;
};

}  // namespace korvena::e2e
