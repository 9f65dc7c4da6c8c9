// SPDX-License-Identifier: MIT
#include "ThemeScheme.h"

#include <windows.h>

#include <cwchar>

namespace {
// A function of the library by name; through void(*)() because the exported type says nothing of it.
template <class Fn> Fn Function(HMODULE library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
} // namespace

TThemeScheme CurrentThemeScheme()
{
    OSVERSIONINFOW version {};
    version.dwOSVersionInfoSize = sizeof(version);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExW(&version))
        return TThemeScheme::None;
    if (version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion < 1))
        return TThemeScheme::None;
    HMODULE library = LoadLibraryW(L"uxtheme.dll");
    if (!library)
        return TThemeScheme::None;
    using IsThemeActiveFn = BOOL(WINAPI*)();
    using GetCurrentThemeNameFn = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    const auto isThemeActive = Function<IsThemeActiveFn>(library, "IsThemeActive");
    const auto getCurrentThemeName = Function<GetCurrentThemeNameFn>(library, "GetCurrentThemeName");
    TThemeScheme scheme = TThemeScheme::None;
    if (isThemeActive && getCurrentThemeName && isThemeActive()) {
        wchar_t file[255] {};
        wchar_t color[255] {};
        wchar_t size[255] {};
        if (SUCCEEDED(getCurrentThemeName(file, 255, color, 255, size, 255))) {
            if (std::wcscmp(color, L"NormalColor") == 0)
                scheme = TThemeScheme::Blue;
            else if (std::wcscmp(color, L"HomeStead") == 0)
                scheme = TThemeScheme::Olive;
            else if (std::wcscmp(color, L"Metallic") == 0)
                scheme = TThemeScheme::Silver;
        }
    }
    FreeLibrary(library);
    return scheme;
}
