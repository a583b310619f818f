// Streams of a small Windows Installer database made by libmsi: the summary information of any
// storage, and the tables of the patch package's root.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "string_pool.h"

namespace patchgen {

// A FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
struct FileTime {
    std::uint64_t ticks;
};

using SummaryValue = std::variant<std::int32_t, std::string, FileTime>;

struct SummaryProperty {
    int id;
    SummaryValue value;
};

// One stream of a storage: its entry name in UTF-8 (already encoded where the installer encodes
// it) and its bytes.
struct NamedStream {
    std::string name;
    Bytes data;
};

// An SQL statement for libmsi with its string parameters (an empty one binds null).
struct Statement {
    std::string sql;
    std::vector<std::string> parameters;
};

// Builds a database in a temporary file with libmsi from `statements` and `summary`, and returns
// every stream of its root storage, sorted by name. Throws std::runtime_error with libmsi's or
// libgsf's message on any failure.
std::vector<NamedStream> BuildDatabaseStreams(const std::vector<Statement>& statements,
                                              const std::vector<SummaryProperty>& summary);

// The summary information stream's entry name.
extern const char* const kSummaryStreamName;

}  // namespace patchgen
