#include "core/secure_wipe.h"

#include <windows.h>

// SecureZeroMemory, unlike memset, is not dropped by the optimiser as a store
// to memory that is about to be freed.
void wipeBytes(std::string& bytes)
{
    if (!bytes.empty())
        SecureZeroMemory(&bytes[0], bytes.size());
    bytes.clear();
}

void wipeText(std::wstring& text)
{
    if (!text.empty())
        SecureZeroMemory(&text[0], text.size() * sizeof(wchar_t));
    text.clear();
}
