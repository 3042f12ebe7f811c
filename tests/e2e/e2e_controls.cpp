#include "tests/e2e/e2e_controls.h"

#include "tests/e2e/e2e_app.h"
#include "tests/e2e/e2e_wait.h"

#include <gtest/gtest.h>

namespace {

// Common controls 6 may report a class as "6.0.x.y!Button".
std::wstring plainClassName(HWND window)
{
    std::wstring name = className(window);
    size_t bang = name.find(L'!');
    return bang == std::wstring::npos ? name : name.substr(bang + 1);
}

}  // namespace

bool waitForControls(HWND parent, const std::vector<ExpectedControl>& table, DWORD timeoutMs)
{
    // A panel switch destroys the old controls first to last and then
    // creates the new ones: half way through either, the ids in order or
    // the last control's class differ from the table.
    return waitUntil(
        [&] {
            std::vector<HWND> children = childrenOf(parent);
            if (children.size() != table.size() || children.empty())
                return false;
            for (size_t i = 0; i < children.size(); ++i)
                if (GetDlgCtrlID(children[i]) != table[i].id)
                    return false;
            return _wcsicmp(plainClassName(children.back()).c_str(), table.back().className) == 0;
        },
        timeoutMs);
}

void expectControls(HWND parent, const std::vector<ExpectedControl>& table)
{
    // The low word holds the class's own styles (SS_, ES_, BS_).
    const DWORD checked = 0xFFFF | WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_BORDER | WS_POPUP;
    const DWORD checkedEx = WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE;
    waitForControls(parent, table, kUiLimitMs);
    std::vector<HWND> children = childrenOf(parent);
    ASSERT_EQ(children.size(), table.size()) << "number of controls";
    for (size_t i = 0; i < table.size(); ++i) {
        const ExpectedControl& expected = table[i];
        HWND control = children[i];
        SCOPED_TRACE(testing::Message() << "control #" << i + 1 << " (id " << expected.id << ")");
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(_wcsicmp(plainClassName(control).c_str(), expected.className), 0)
            << "class " << testing::PrintToString(className(control));
        if (expected.text)
            EXPECT_EQ(windowText(control), expected.text);
        EXPECT_EQ(DWORD(GetWindowLongW(control, GWL_STYLE)) & checked,
                  (WS_CHILD | WS_VISIBLE | expected.style) & checked);
        EXPECT_EQ(DWORD(GetWindowLongW(control, GWL_EXSTYLE)) & checkedEx, expected.exStyle & checkedEx);
        RECT rect = rectIn(control, parent);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
    }
}
