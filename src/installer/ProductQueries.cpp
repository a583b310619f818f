#include "installer/ProductQueries.h"

#include <algorithm>
#include <vector>

namespace {

constexpr win::DWORD kValueLength = 1024;

// A property of the product, empty when the installer does not give it. A value too long for
// the usual buffer is read again at the length the installer asks for, so it comes whole.
WString ProductProperty(const WString& productCode, const char16_t* property,
                        std::vector<win::WCHAR>& buffer) {
    buffer.assign(kValueLength, u'\0');
    win::DWORD length = kValueLength;
    win::UINT result =
        win::MsiGetProductInfoW(productCode.c_str(), property, buffer.data(), &length);
    if (result == win::ERROR_MORE_DATA) {
        const win::DWORD size = length + 1;
        buffer.assign(size, u'\0');
        length = size;
        result = win::MsiGetProductInfoW(productCode.c_str(), property, buffer.data(), &length);
    }
    if (result != win::ERROR_SUCCESS)
        return WString();
    const auto end = std::find(buffer.begin(), buffer.end(), u'\0');
    return WString(buffer.begin(), end);
}

} // namespace

bool IsProductPresent(const WString& productCode) {
    const win::INSTALLSTATE state = win::MsiQueryProductStateW(productCode.c_str());
    return state == win::INSTALLSTATE_ADVERTISED || state == win::INSTALLSTATE_DEFAULT;
}

bool GetProductNameAndLanguage(const WString& productCode, WString& name, WString& language) {
    std::vector<win::WCHAR> buffer;
    name = ProductProperty(productCode, u"ProductName", buffer);
    language = ProductProperty(productCode, u"Language", buffer);
    return true;
}

WString GetProductVersion(const WString& productCode) {
    std::vector<win::WCHAR> buffer;
    return ProductProperty(productCode, u"VersionString", buffer);
}
