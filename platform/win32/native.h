// The Win32 headers as the backend uses them, and the conversions between portable handles and
// native ones. Only the backend and the entry point include this.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
// clang-format on

#include <cstdint>

namespace pavix::win32 {

// Portable handles hold the native pointer value unchanged.
template <typename Native>
Native ToNative(std::uintptr_t handle) {
    return reinterpret_cast<Native>(handle);
}

template <typename Native>
Native ToNative(std::intptr_t handle) {
    return reinterpret_cast<Native>(handle);
}

template <typename Portable, typename Native>
Portable FromNative(Native handle) {
    return reinterpret_cast<Portable>(handle);
}

inline HWND Window(std::uintptr_t handle) {
    return ToNative<HWND>(handle);
}
inline HINSTANCE Module(std::uintptr_t handle) {
    return ToNative<HINSTANCE>(handle);
}
inline HMENU Menu(std::uintptr_t handle) {
    return ToNative<HMENU>(handle);
}
inline HANDLE Kernel(std::intptr_t handle) {
    return ToNative<HANDLE>(handle);
}

}  // namespace pavix::win32
