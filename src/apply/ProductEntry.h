#pragma once

#include <memory>
#include <vector>

#include "platform/WideString.h"

// What the install driver keeps for one present target product. The prototype holds what all
// products share; each product's entry starts as a copy of it.
struct ProductEntry {
    WString productCode;
    WString targetVersion;
    WString productName;
    WString language;
    WString commandLine;
    WString candidateVersions;
    WString installedVersion;
};

// The present target products, in target-list order. The list owns its entries.
extern std::vector<std::unique_ptr<ProductEntry>> g_products;
