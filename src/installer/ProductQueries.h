#pragma once

#include "platform/Platform.h"

// True when the installer reports the product advertised (1) or installed (5).
bool IsProductPresent(const WString& productCode);
// The product's name and language (decimal LANGID) as the installer gives them. Always true.
bool GetProductNameAndLanguage(const WString& productCode, WString& name, WString& language);
// The product's installed version text ("VersionString").
WString GetProductVersion(const WString& productCode);
