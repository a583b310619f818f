// Fixtures for the installer stand-in's tests: summary information streams written byte by
// byte, compound files written with libgsf, and a private simulated machine per test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/host/MsiCompoundFile.h"

namespace testpkg {

struct Property {
    win::UINT pid = 0;
    win::UINT type = 0;
    int intValue = 0;
    std::string text; // bytes as stored, in the stream's code page
    win::FILETIME time{};
};

Property Text(win::UINT pid, std::string text);
Property Int(win::UINT pid, int value);

// A property set stream of FMTID_SummaryInformation holding `properties` in this order.
std::vector<std::uint8_t> SummaryStream(const std::vector<Property>& properties);

struct SubStorage {
    std::string name;
    std::vector<std::uint8_t> summary; // empty: a storage without summary information
};

// A compound file with the root class `classId`, a summary stream (unless empty) and the
// sub-storages, each with its own summary stream.
void WriteCompoundFile(const std::string& path, const host::ClassId& classId,
                       const std::vector<std::uint8_t>& summary,
                       const std::vector<SubStorage>& subStorages = {});

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

constexpr host::ClassId kDatabaseClassId = {0x84, 0x10, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Points SP_HOST_PRODUCTS at a registry in a directory of its own for the test's lifetime.
class SimulatedMachine {
  public:
    SimulatedMachine();
    ~SimulatedMachine();
    const std::string& registry() const { return registry_; }
    std::string file(const std::string& name) const { return dir_.file(name); }

  private:
    TempDir dir_;
    std::string registry_;
};

} // namespace testpkg
