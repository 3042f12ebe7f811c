// Scoped owners of the Win32 handles and objects the program makes: each
// releases what it holds when it goes out of scope, so no path can forget a
// release and no release is written by hand. Move-only, no exceptions.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <wincred.h>
#include <winhttp.h>

#include <utility>

// Owns one value of a handle type; Traits names the empty value and how to
// release a held one.
template <typename Traits>
class ScopedResource {
public:
    using Value = typename Traits::Value;

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

    Value get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::empty(); }

    // Gives the value up without releasing it.
    Value release() { return std::exchange(value_, Traits::empty()); }
    void reset(Value value = Traits::empty())
    {
        const Value old = std::exchange(value_, value);
        if (old != Traits::empty())
            Traits::close(old);
    }
    // For an API that returns its result through a pointer argument; what was
    // held is released first.
    Value* put()
    {
        reset();
        return &value_;
    }

private:
    Value value_ = Traits::empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static Value empty() { return nullptr; }
    static void close(Value value) { CloseHandle(value); }
};
struct RegistryKeyTraits {
    using Value = HKEY;
    static Value empty() { return nullptr; }
    static void close(Value value) { RegCloseKey(value); }
};
struct WinHttpHandleTraits {
    using Value = HINTERNET;
    static Value empty() { return nullptr; }
    static void close(Value value) { WinHttpCloseHandle(value); }
};
template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static Value empty() { return nullptr; }
    static void close(Value value) { DeleteObject(value); }
};
struct IconTraits {
    using Value = HICON;
    static Value empty() { return nullptr; }
    static void close(Value value) { DestroyIcon(value); }
};
struct MenuTraits {
    using Value = HMENU;
    static Value empty() { return nullptr; }
    static void close(Value value) { DestroyMenu(value); }
};
struct CredentialTraits {
    using Value = PCREDENTIALW;
    static Value empty() { return nullptr; }
    static void close(Value value) { CredFree(value); }
};

template <typename Interface>
struct ComInterfaceTraits {
    using Value = Interface*;
    static Value empty() { return nullptr; }
    static void close(Value value) { value->Release(); }
};

using ScopedHandle = ScopedResource<KernelHandleTraits>;
using ScopedRegKey = ScopedResource<RegistryKeyTraits>;
using ScopedInternet = ScopedResource<WinHttpHandleTraits>;
using ScopedFont = ScopedResource<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedResource<GdiObjectTraits<HBRUSH>>;
using ScopedPen = ScopedResource<GdiObjectTraits<HPEN>>;
using ScopedIcon = ScopedResource<IconTraits>;
using ScopedMenu = ScopedResource<MenuTraits>;
using ScopedCredential = ScopedResource<CredentialTraits>;
template <typename Interface>
using ScopedComPtr = ScopedResource<ComInterfaceTraits<Interface>>;

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
