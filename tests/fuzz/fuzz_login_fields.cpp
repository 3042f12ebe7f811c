// The login rules: normalising is idempotent and leaves no outer blank and no
// capital A-Z, and an account the rules accept is stored and loaded back as
// entered.
#include <string>

#include "app/login_rules.h"
#include "core/text_encoding.h"
#include "fuzz_check.h"
#include "store/account_blob.h"

// The input as UTF-16 text; line feeds separate the three fields.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring text = wideFromBytes(data, size);
    std::wstring typed[3];
    size_t field = 0;
    for (wchar_t c : text) {
        if (c == L'\n' && field < 2)
            ++field;
        else
            typed[field].push_back(c);
    }

    std::wstring fields[3];
    for (int i = 0; i < 3; ++i) {
        fields[i] = normalizeLoginField(typed[i]);
        FUZZ_CHECK(normalizeLoginField(fields[i]) == fields[i]);
        FUZZ_CHECK(fields[i].size() <= typed[i].size());
        if (!fields[i].empty())
            FUZZ_CHECK(fields[i].front() != L' ' && fields[i].back() != L' ');
        for (wchar_t c : fields[i])
            FUZZ_CHECK(!(c >= L'A' && c <= L'Z'));
    }

    if (!loginInputProblem(fields[0], fields[1], fields[2]).empty())
        return 0;
    for (const std::wstring& f : fields)
        FUZZ_CHECK(!f.empty());
    const AccountFields stored{wideToUtf8(fields[0]), wideToUtf8(fields[1]), wideToUtf8(fields[2])};
    const std::string blob = joinAccountBlob(stored);
    FUZZ_CHECK(blob.size() <= 2560);
    AccountFields loaded;
    FUZZ_CHECK(splitAccountBlob(blob, loaded));
    FUZZ_CHECK(loaded.hostname == stored.hostname && loaded.username == stored.username &&
               loaded.updateKey == stored.updateKey);
    return 0;
}
