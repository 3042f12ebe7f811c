// The resources of the built Lumaroth.exe as Windows reads them: the version
// block, the application manifest and the icon group.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// From version.dll at run time: the test programs link only the product's
// libraries.
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;
};

VersionApi versionApi()
{
    VersionApi api;
    HMODULE module = LoadLibraryW(L"version.dll");
    if (!module)
        return api;
    api.size = reinterpret_cast<VersionApi::SizeFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoSizeW")));
    api.info = reinterpret_cast<VersionApi::InfoFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoW")));
    api.query = reinterpret_cast<VersionApi::QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "VerQueryValueW")));
    return api;
}

std::wstring exePath()
{
    wchar_t build[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"LUMAROTH_BUILD", build, MAX_PATH))
        return std::wstring();
    std::wstring path = std::wstring(L"Z:") + build + L"/app/Lumaroth.exe";
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = exePath();
        if (path_.empty())
            GTEST_SKIP() << "LUMAROTH_BUILD is not set";
        ASSERT_NE(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    std::wstring path_;
};

TEST_F(ResourcesTest, VersionBlockNamesTheProduct)
{
    const VersionApi api = versionApi();
    ASSERT_TRUE(api.size && api.info && api.query);
    DWORD ignored = 0;
    const DWORD size = api.size(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(api.info(path_.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(api.query(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));

    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Case cases[] = {
        {L"CompanyName", L"Vexlumen"},          {L"FileDescription", L"Lumaroth Dynamic DNS Client"},
        {L"FileVersion", L"2.0.1.0"},           {L"InternalName", L"Lumaroth"},
        {L"OriginalFilename", L"Lumaroth.exe"}, {L"ProductName", L"Lumaroth Client"},
        {L"ProductVersion", L"2.0.1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        wchar_t* text = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + c.name;
        ASSERT_TRUE(api.query(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length));
        EXPECT_EQ(std::wstring(text), c.value);
    }
}

TEST_F(ResourcesTest, ManifestAsksForCommonControlsSixAndNoElevation)
{
    HMODULE module = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(data, SizeofResource(module, resource));
    FreeLibrary(module);

    const char* required[] = {
        R"(<assemblyIdentity name="Lumaroth.Client" version="1.2.0.0" processorArchitecture="*" type="win32"/>)",
        "<description>Vexlumen - Free Dynamic DNS Client</description>",
        R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
        R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>)",
        R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">)"
        "PerMonitorV2,PerMonitor</dpiAwareness>",
    };
    for (const char* text : required)
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
}

// Every image of the icon group, the PNG-compressed ones included, makes an
// icon of its own size: one that cannot be decoded would leave the windows
// that ask for that size with the system's fallback icon.
TEST_F(ResourcesTest, EveryIconImageDecodesAtItsSize)
{
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    HMODULE module = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(101), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    const WORD count = reinterpret_cast<const WORD*>(directory)[2];
    EXPECT_EQ(count, 9);
    const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(directory + 6);
    for (WORD i = 0; i < count; ++i) {
        const int size = entries[i].width ? entries[i].width : 256;
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), RT_ICON);
        ASSERT_NE(image, nullptr) << size;
        BYTE* bits = static_cast<BYTE*>(LockResource(LoadResource(module, image)));
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(module, image), TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(module);
}

}  // namespace
