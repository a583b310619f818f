#include <map>

#include "FuzzEntries.h"

namespace fuzz {

Entry EntryByName(const std::string& name) {
    static const std::map<std::string, Entry> entries = {
        {"resource-image", ResourceImage},   {"command-line-split", CommandLineSplit},
        {"parse-command-line", ParseCommandLine}, {"parse-version", ParseVersion},
        {"candidate-walk", CandidateWalk},   {"summary-info", SummaryInfo},
        {"summary-stream", SummaryStream},
    };
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : found->second;
}

} // namespace fuzz
