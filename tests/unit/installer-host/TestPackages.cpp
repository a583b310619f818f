#include "TestPackages.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>

#include "platform/host/MsiPropertySet.h"

namespace testpkg {
namespace {

constexpr std::uint8_t kFmtidSummaryInformation[16] = {
    0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::uint32_t kSectionOffset = 48;

void U16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void U32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    U16(out, value & 0xFFFF);
    U16(out, value >> 16);
}

void WriteStream(GsfOutfile* parent, const char* name, const std::vector<std::uint8_t>& bytes) {
    GsfOutput* stream = gsf_outfile_new_child(parent, name, FALSE);
    gsf_output_write(stream, bytes.size(), bytes.data());
    gsf_output_close(stream);
    g_object_unref(stream);
}

} // namespace

Property Text(win::UINT pid, std::string text) {
    Property p;
    p.pid = pid;
    p.type = host::kVtLpstr;
    p.text = std::move(text);
    return p;
}

Property Int(win::UINT pid, int value) {
    Property p;
    p.pid = pid;
    p.type = pid == host::kPidCodepage ? host::kVtI2 : host::kVtI4;
    p.intValue = value;
    return p;
}

std::vector<std::uint8_t> SummaryStream(const std::vector<Property>& properties) {
    std::vector<std::uint8_t> out;
    U16(out, 0xFFFE);             // byte order
    U16(out, 0);                  // version
    U32(out, 0x00020006);         // system: Windows, version 6.2
    out.insert(out.end(), 16, 0); // class id
    U32(out, 1);                  // one property set
    out.insert(out.end(), kFmtidSummaryInformation, kFmtidSummaryInformation + 16);
    U32(out, kSectionOffset);

    std::vector<std::uint8_t> values;
    const std::size_t indexSize = 8 + 8 * properties.size();
    std::vector<std::uint8_t> index;
    for (const Property& p : properties) {
        U32(index, p.pid);
        U32(index, static_cast<std::uint32_t>(indexSize + values.size()));
        U16(values, p.type);
        U16(values, 0);
        switch (p.type) {
        case host::kVtI2:
            U16(values, static_cast<std::uint16_t>(p.intValue));
            U16(values, 0);
            break;
        case host::kVtI4:
            U32(values, static_cast<std::uint32_t>(p.intValue));
            break;
        case host::kVtFiletime:
            U32(values, p.time.dwLowDateTime);
            U32(values, p.time.dwHighDateTime);
            break;
        default:
            U32(values, static_cast<std::uint32_t>(p.text.size() + 1));
            values.insert(values.end(), p.text.begin(), p.text.end());
            values.push_back(0);
            while (values.size() % 4 != 0)
                values.push_back(0);
        }
    }
    U32(out, static_cast<std::uint32_t>(indexSize + values.size())); // section size
    U32(out, static_cast<std::uint32_t>(properties.size()));
    out.insert(out.end(), index.begin(), index.end());
    out.insert(out.end(), values.begin(), values.end());
    return out;
}

void WriteCompoundFile(const std::string& path, const host::ClassId& classId,
                       const std::vector<std::uint8_t>& summary,
                       const std::vector<SubStorage>& subStorages) {
    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(path.c_str(), &error);
    if (sink == nullptr)
        throw std::runtime_error("cannot create " + path);
    GsfOutfile* root = gsf_outfile_msole_new(sink);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root), classId.data());
    if (!summary.empty())
        WriteStream(root, "\005SummaryInformation", summary);
    for (const SubStorage& storage : subStorages) {
        GsfOutput* child = gsf_outfile_new_child(root, storage.name.c_str(), TRUE);
        if (!storage.summary.empty())
            WriteStream(GSF_OUTFILE(child), "\005SummaryInformation", storage.summary);
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(root));
    g_object_unref(root);
    g_object_unref(sink);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/installer-host-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SimulatedMachine::SimulatedMachine() : registry_(dir_.file("products.ini")) {
    setenv("SP_HOST_PRODUCTS", registry_.c_str(), 1);
}

SimulatedMachine::~SimulatedMachine() {
    unsetenv("SP_HOST_PRODUCTS");
}

} // namespace testpkg
