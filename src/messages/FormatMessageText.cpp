#include "messages/FormatMessageText.h"

WString FormatMessageText(std::u16string_view format, const MessageArgument& argument) {
    WString out;
    out.reserve(format.size() + (argument.text ? argument.text->size() : 0) + 12);
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c != u'%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const char16_t conversion = format[i + 1];
        if (conversion == u'%') {
            out += u'%';
            ++i;
        } else if (conversion == u'd' && argument.number) {
            out += ToDecimal(*argument.number);
            ++i;
        } else if (conversion == u's' && argument.text) {
            out += *argument.text;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
