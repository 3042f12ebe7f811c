#include "store/store_calls.h"

StoreCalls gStoreCalls = {CredWriteW, CredDeleteW, RegSetValueExW};
