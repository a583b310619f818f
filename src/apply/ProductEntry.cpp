#include "apply/ProductEntry.h"

std::vector<std::unique_ptr<ProductEntry>> g_products;
