#include "tests/e2e/e2e_screen.h"

namespace {

bool writeBmp(const ScreenImage& image, const std::wstring& path)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = -image.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<DWORD> rows(image.pixels.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        COLORREF c = image.pixels[i];
        rows[i] = DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c);
    }
    DWORD dataBytes = DWORD(rows.size() * sizeof(DWORD));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + dataBytes;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &header, sizeof header, &written, nullptr) &&
              WriteFile(out, rows.data(), dataBytes, &written, nullptr);
    CloseHandle(out);
    return ok != FALSE;
}

}  // namespace

ScreenImage captureWindow(HWND window)
{
    ScreenImage image;
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    if (image.width <= 0 || image.height <= 0)
        return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, previous);
        const DWORD* pixel = static_cast<const DWORD*>(bits);
        image.pixels.resize(size_t(image.width) * size_t(image.height));
        for (size_t i = 0; i < image.pixels.size(); ++i)
            image.pixels[i] = RGB((pixel[i] >> 16) & 0xFF, (pixel[i] >> 8) & 0xFF, pixel[i] & 0xFF);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

int countPixelsNear(const ScreenImage& image, COLORREF colour, int tolerance)
{
    int count = 0;
    for (COLORREF pixel : image.pixels)
        if (abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
            abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
            abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance)
            ++count;
    return count;
}

void saveScreenshot(HWND window, const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"E2E_SHOT_DIR", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    writeBmp(captureWindow(window), std::wstring(folder) + L"\\" + name + L".bmp");
}
