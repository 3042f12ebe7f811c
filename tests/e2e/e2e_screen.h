// Pixels of the screen, for the colours of texts and for screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // row by row from the top
};

// The screen's pixels inside a window's rectangle (its frame included).
ScreenImage captureWindow(HWND window);
// Pixels within tolerance (per channel) of colour.
int countPixelsNear(const ScreenImage& image, COLORREF colour, int tolerance);
// Writes image as PNG-ready BMP into E2E_SHOT_DIR as name.bmp; nothing if
// the variable is unset. run_journey.sh turns the BMP files into PNG.
void saveScreenshot(HWND window, const std::wstring& name);
