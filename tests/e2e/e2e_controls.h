// Comparing a window's children with a control table: ids, classes, texts,
// styles and rectangles, in creation order.
#pragma once

#include <windows.h>

#include <vector>

struct ExpectedControl {
    int id;  // 0 for a control without id
    const wchar_t* className;
    const wchar_t* text;  // nullptr: not compared
    DWORD style;          // added to WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int x, y, width, height;  // client coordinates of the parent
};
// Waits until parent's children carry table's ids in table's order.
bool waitForControls(HWND parent, const std::vector<ExpectedControl>& table, DWORD timeoutMs);
// Expects parent's children to be exactly table's controls in table order.
void expectControls(HWND parent, const std::vector<ExpectedControl>& table);
