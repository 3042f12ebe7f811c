#include "ui/link.h"

#include <commctrl.h>
#include <oleacc.h>

#include "core/scoped_win.h"

namespace {

const UINT_PTR kLinkSubclassId = 1;

// Direct annotation: the system's accessibility proxy reports the static's
// role as a link. Needs COM on the GUI thread (wWinMain starts it); without
// it the static keeps its plain role.
void annotateRole(HWND link, bool set)
{
    ScopedComPtr<IAccPropServices> services;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(services.put()))))
        return;
    if (set) {
        VARIANT role = {};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_LINK;
        services.get()->SetHwndProp(link, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, role);
    } else {
        services.get()->ClearHwndProps(link, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &PROPID_ACC_ROLE, 1);
    }
}

void activate(HWND link)
{
    SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link));
}

// Around the text, which stands at the right edge (SS_RIGHT).
void drawFocusRectangle(HWND link)
{
    RECT client = {};
    GetClientRect(link, &client);
    wchar_t text[256] = {};
    const int length = GetWindowTextW(link, text, 256);
    const ScopedWindowDC dc(link);
    if (!dc.dc())
        return;
    const ScopedSelectObject useFont(dc.dc(), reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc.dc(), text, length, &extent);
    RECT around = client;
    if (extent.cx + 2 < client.right)
        around.left = client.right - extent.cx - 2;
    DrawFocusRect(dc.dc(), &around);
}

LRESULT CALLBACK linkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter goes to the link itself, not to the dialog manager's IDOK.
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return DefSubclassProc(link, message, wParam, lParam);
    }
    case WM_KEYDOWN:
        if (wParam != VK_RETURN && wParam != VK_SPACE)
            return DefSubclassProc(link, message, wParam, lParam);
        // Held keys repeat; one press opens the page once.
        if (!(lParam & 0x40000000))
            activate(link);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(link, nullptr, TRUE);
        return DefSubclassProc(link, message, wParam, lParam);
    case WM_PAINT: {
        // The focus rectangle is drawn over a complete repaint only, so that
        // its XOR never lands twice on the same pixels.
        const bool focused = GetFocus() == link;
        if (focused)
            InvalidateRect(link, nullptr, TRUE);
        const LRESULT result = DefSubclassProc(link, message, wParam, lParam);
        if (focused)
            drawFocusRectangle(link);
        return result;
    }
    case WM_NCDESTROY:
        annotateRole(link, false);
        RemoveWindowSubclass(link, linkProc, kLinkSubclassId);
        return DefSubclassProc(link, message, wParam, lParam);
    default:
        return DefSubclassProc(link, message, wParam, lParam);
    }
}

}  // namespace

void makeKeyboardLink(HWND link)
{
    if (!link || !SetWindowSubclass(link, linkProc, kLinkSubclassId, 0))
        return;
    annotateRole(link, true);
}
