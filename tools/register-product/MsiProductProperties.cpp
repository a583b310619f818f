#include "MsiProductProperties.h"

#include <libmsi.h>

namespace {

constexpr const char* kQuery =
    "SELECT `Property`, `Value` FROM `Property` WHERE `Property` = 'ProductCode' OR "
    "`Property` = 'ProductName' OR `Property` = 'ProductLanguage' OR "
    "`Property` = 'ProductVersion'";
// The query matches at most the four names, each a primary key.
constexpr int kMaxRows = 4;

std::string TakeMessage(GError*& error, const char* fallback) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : fallback;
    g_clear_error(&error);
    return text;
}

std::string RecordString(LibmsiRecord* record, guint field) {
    gchar* value = libmsi_record_get_string(record, field);
    std::string text = value != nullptr ? value : "";
    g_free(value);
    return text;
}

} // namespace

bool ReadMsiProductProperties(const std::string& path, MsiProductProperties& properties,
                              std::string& error) {
    GError* gerror = nullptr;
    LibmsiDatabase* database =
        libmsi_database_new(path.c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, &gerror);
    if (database == nullptr) {
        error = path + ": not an installer package: " + TakeMessage(gerror, "cannot be opened");
        return false;
    }
    LibmsiQuery* query = libmsi_query_new(database, kQuery, &gerror);
    bool ok = query != nullptr && libmsi_query_execute(query, nullptr, &gerror);
    if (!ok)
        error = path + ": cannot query the Property table: " + TakeMessage(gerror, "no table");
    MsiProductProperties result;
    for (int row = 0; ok && row < kMaxRows; ++row) {
        LibmsiRecord* record = libmsi_query_fetch(query, &gerror);
        if (record == nullptr) {
            g_clear_error(&gerror); // the end of the rows
            break;
        }
        const std::string name = RecordString(record, 1);
        const std::string value = RecordString(record, 2);
        g_object_unref(record);
        if (name == "ProductCode")
            result.productCode = value;
        else if (name == "ProductName")
            result.productName = value;
        else if (name == "ProductLanguage")
            result.productLanguage = value;
        else if (name == "ProductVersion")
            result.productVersion = value;
    }
    if (query != nullptr) {
        libmsi_query_close(query, nullptr);
        g_object_unref(query);
    }
    g_object_unref(database);
    if (!ok)
        return false;
    for (const auto& [name, value] : {std::pair{"ProductCode", &result.productCode},
                                      {"ProductName", &result.productName},
                                      {"ProductLanguage", &result.productLanguage},
                                      {"ProductVersion", &result.productVersion}}) {
        if (value->empty()) {
            error = path + ": the Property table has no " + name;
            return false;
        }
    }
    properties = std::move(result);
    return true;
}
