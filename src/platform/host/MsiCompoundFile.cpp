#include "platform/host/MsiCompoundFile.h"

#include <vector>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>

namespace host {
namespace {

constexpr const char* kSummaryStreamName = "\005SummaryInformation";
// Far above any real summary stream (a template of a few thousand product codes).
constexpr gsf_off_t kMaxSummaryStreamSize = 1 << 20;

std::string TakeMessage(GError* error, const char* fallback) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : fallback;
    if (error != nullptr)
        g_error_free(error);
    return text;
}

bool ReadStorageSummary(GsfInfile* storage, const std::string& where, SummaryInformation& summary,
                        std::string& error) {
    summary = SummaryInformation();
    GsfInput* stream = gsf_infile_child_by_name(storage, kSummaryStreamName);
    if (stream == nullptr)
        return true;
    const gsf_off_t size = gsf_input_size(stream);
    bool ok = false;
    if (size < 0 || size > kMaxSummaryStreamSize) {
        error = where + ": summary information stream of " + std::to_string(size) +
                " bytes is larger than " + std::to_string(kMaxSummaryStreamSize);
    } else {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        if (size > 0 &&
            gsf_input_read(stream, static_cast<std::size_t>(size), bytes.data()) == nullptr) {
            error = where + ": summary information stream cannot be read (" + std::to_string(size) +
                    " bytes)";
        } else if (!ParseSummaryInformation(bytes.data(), bytes.size(), summary, error)) {
            error = where + ": " + error;
        } else {
            ok = true;
        }
    }
    g_object_unref(stream);
    return ok;
}

} // namespace

CompoundFile::~CompoundFile() {
    if (root_ != nullptr)
        g_object_unref(root_);
}

bool CompoundFile::open(const std::string& path, std::string& error) {
    path_ = path;
    GError* gerror = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.c_str(), &gerror);
    if (input == nullptr) {
        error = path + ": " + TakeMessage(gerror, "cannot be opened");
        return false;
    }
    root_ = gsf_infile_msole_new(input, &gerror);
    g_object_unref(input); // the storage keeps its own reference
    if (root_ == nullptr) {
        error = path + ": not a compound file: " + TakeMessage(gerror, "no valid header");
        return false;
    }
    return true;
}

ClassId CompoundFile::classId() const {
    ClassId id{};
    if (root_ != nullptr)
        gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root_), id.data());
    return id;
}

bool CompoundFile::readSummary(SummaryInformation& summary, std::string& error) const {
    return ReadStorageSummary(root_, path_, summary, error);
}

bool CompoundFile::readSubStorageSummary(const std::string& name, SummaryInformation& summary,
                                         bool& found, std::string& error) const {
    found = false;
    GsfInput* child = gsf_infile_child_by_name(root_, name.c_str());
    if (child == nullptr)
        return true;
    // Streams and storages are both infiles to libgsf; only a storage has a child count.
    if (!GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0) {
        g_object_unref(child);
        return true;
    }
    found = true;
    const bool ok = ReadStorageSummary(GSF_INFILE(child), path_ + ":" + name, summary, error);
    g_object_unref(child);
    return ok;
}

} // namespace host
