// The stored account blob: any blob that splits joins back to itself, and any
// fields a login accepts come back from their blob unchanged.
#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "store/account_blob.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    AccountFields fields;
    if (splitAccountBlob(bytes, fields)) {
        FUZZ_CHECK(fields.hostname.find('|') == std::string::npos);
        FUZZ_CHECK(fields.username.find('|') == std::string::npos);
        FUZZ_CHECK(joinAccountBlob(fields) == bytes);
    } else {
        FUZZ_CHECK(fields.hostname.empty() && fields.username.empty() && fields.updateKey.empty());
    }

    // The same bytes cut into three fields at two offsets of the first two
    // bytes, the bars dropped from the first two as the login rules demand.
    if (size < 2)
        return 0;
    const std::string rest = bytes.substr(2);
    const size_t cut1 = data[0] % (rest.size() + 1);
    const size_t cut2 = cut1 + data[1] % (rest.size() - cut1 + 1);
    AccountFields original{rest.substr(0, cut1), rest.substr(cut1, cut2 - cut1), rest.substr(cut2)};
    for (std::string* field : {&original.hostname, &original.username})
        field->erase(std::remove(field->begin(), field->end(), '|'), field->end());
    AccountFields loaded;
    FUZZ_CHECK(splitAccountBlob(joinAccountBlob(original), loaded));
    FUZZ_CHECK(loaded.hostname == original.hostname && loaded.username == original.username &&
               loaded.updateKey == original.updateKey);
    return 0;
}
