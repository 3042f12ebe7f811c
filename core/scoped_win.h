// Scoped owners of the Win32 handles and objects the program makes: each
// releases what it holds when it goes out of scope, so no path can forget a
// release and no release is written by hand. Move-only, no exceptions.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <wincred.h>
#include <winhttp.h>

#include <cstdint>
#include <utility>

// Calls release(value) and puts the thread's last error back as it was. Out
// of line, and with the value's type erased, so that the many owners' inlined
// destructors share one copy.
void releaseKeepingLastError(void (*release)(void* value), void* value);

// Owns one value of a handle type. Invalid is the value that means "owns
// nothing", as an integer because a handle constant such as
// INVALID_HANDLE_VALUE is a cast no template argument can hold: null for
// most types, -1 for those whose functions fail with INVALID_HANDLE_VALUE.
// Release is a function object that releases a held value.
//
// A release keeps the thread's last error: a failed call, an owner released on
// the way out, then GetLastError still reads the call's failure.
template <typename Value, typename Release, std::intptr_t Invalid = 0>
class ScopedResource {
public:
    ScopedResource() = default;
    explicit ScopedResource(Value value)
        : value_(value)
    {
    }
    ~ScopedResource() { reset(); }
    ScopedResource(ScopedResource&& other) noexcept
        : value_(other.release())
    {
    }
    ScopedResource& operator=(ScopedResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    static Value invalid() { return reinterpret_cast<Value>(Invalid); }
    Value get() const { return value_; }
    explicit operator bool() const { return value_ != invalid(); }

    // Gives the value up without releasing it: dropping the result leaks it.
    [[nodiscard]] Value release() { return std::exchange(value_, invalid()); }
    void reset(Value value = invalid())
    {
        const Value old = std::exchange(value_, value);
        if (old != invalid())
            releaseKeepingLastError(&releaseErased, old);
    }
    // For an API that returns its result through a pointer argument; what was
    // held is released first.
    Value* put()
    {
        reset();
        return &value_;
    }

private:
    static void releaseErased(void* value) { Release{}(static_cast<Value>(value)); }

    Value value_ = invalid();
};

// Each handle type's release call. Function objects rather than pointers to
// the API functions: those are imported, and an import's address is no
// constant a template argument can name on every compiler.
struct CloseKernelHandle {
    void operator()(HANDLE value) const { CloseHandle(value); }
};
struct CloseRegistryKey {
    void operator()(HKEY value) const { RegCloseKey(value); }
};
struct CloseWinHttpHandle {
    void operator()(HINTERNET value) const { WinHttpCloseHandle(value); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ value) const { DeleteObject(value); }
};
struct DestroyIconHandle {
    void operator()(HICON value) const { DestroyIcon(value); }
};
struct DestroyMenuHandle {
    void operator()(HMENU value) const { DestroyMenu(value); }
};
struct FreeCredential {
    void operator()(PCREDENTIALW value) const { CredFree(value); }
};
struct ReleaseComInterface {
    void operator()(IUnknown* value) const { value->Release(); }
};
struct FreeLibraryModule {
    void operator()(HMODULE value) const { FreeLibrary(value); }
};

using ScopedHandle = ScopedResource<HANDLE, CloseKernelHandle>;
// CreateFileW, FindFirstFileW and CreateToolhelp32Snapshot fail with
// INVALID_HANDLE_VALUE, not null.
using ScopedFileHandle = ScopedResource<HANDLE, CloseKernelHandle, -1>;
using ScopedRegKey = ScopedResource<HKEY, CloseRegistryKey>;
using ScopedInternet = ScopedResource<HINTERNET, CloseWinHttpHandle>;
using ScopedFont = ScopedResource<HFONT, DeleteGdiObject>;
using ScopedBrush = ScopedResource<HBRUSH, DeleteGdiObject>;
using ScopedPen = ScopedResource<HPEN, DeleteGdiObject>;
using ScopedIcon = ScopedResource<HICON, DestroyIconHandle>;
using ScopedMenu = ScopedResource<HMENU, DestroyMenuHandle>;
using ScopedCredential = ScopedResource<PCREDENTIALW, FreeCredential>;
template <typename Interface>
using ScopedComPtr = ScopedResource<Interface*, ReleaseComInterface>;
using ScopedModule = ScopedResource<HMODULE, FreeLibraryModule>;

// BeginPaint .. EndPaint of one WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window)
        : window_(window)
    {
        dc_ = BeginPaint(window, &paint_);
    }
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_ = nullptr;
};

// GetDC .. ReleaseDC; window may be null for the screen.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window)
        : window_(window)
        , dc_(GetDC(window))
    {
    }
    ~ScopedWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back, so that the
// object can be deleted after this goes out of scope.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc)
        , previous_(SelectObject(dc, object))
    {
    }
    ~ScopedSelectObject()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// COM for this thread; uninitialised only when the initialisation succeeded
// (S_FALSE, already initialised, counts: it must be balanced too).
class ScopedComInit {
public:
    explicit ScopedComInit(DWORD flags)
        : initialized_(SUCCEEDED(CoInitializeEx(nullptr, flags)))
    {
    }
    ~ScopedComInit()
    {
        if (initialized_)
            CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    bool initialized_;
};
