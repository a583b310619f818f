// A package file of the simulated machine opened as an OLE compound file (through libgsf):
// the root storage's class id, and the summary information of the root or of a sub-storage.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/host/MsiPropertySet.h"

typedef struct _GsfInfile GsfInfile;

namespace host {

using ClassId = std::array<std::uint8_t, 16>;

// {000C1086-0000-0000-C000-000000000046}, the class of a patch package's root storage, in
// the byte order of the file.
constexpr ClassId kPatchPackageClassId = {0x86, 0x10, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

class CompoundFile {
  public:
    CompoundFile() = default;
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // False with `error` set when the file cannot be read or is no compound file.
    bool open(const std::string& path, std::string& error);

    ClassId classId() const;

    // The root storage's summary information; a storage without one has none (all empty).
    bool readSummary(SummaryInformation& summary, std::string& error) const;
    // The same for the sub-storage `name` of the root; `found` tells whether it exists.
    bool readSubStorageSummary(const std::string& name, SummaryInformation& summary, bool& found,
                               std::string& error) const;

  private:
    GsfInfile* root_ = nullptr;
    std::string path_;
};

} // namespace host
