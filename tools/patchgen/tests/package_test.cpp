// The sample patch package as a whole: its storages, summaries and cabinets, read back with
// libgsf. What the transforms do to a product is checked under Wine by tests/wine/oracle.
#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <iterator>
#include <string>
#include <vector>

#include "msi_name.h"
#include "patch_package.h"

namespace patchgen {
namespace {

constexpr guint8 kPatchClsid[16] = {0x86, 0x10, 0x0C, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
constexpr guint8 kTransformClsid[16] = {0x82, 0x10, 0x0C, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

struct Unref {
    void operator()(void* p) const {
        if (p) g_object_unref(p);
    }
};
template <typename T>
using Ptr = std::unique_ptr<T, Unref>;

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/patchgen-test-" + std::to_string(getpid()) + "-" + name;
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string ReadStream(GsfInfile* storage, const char* name) {
    Ptr<GsfInput> in(gsf_infile_child_by_name(storage, name));
    if (!in) return {};
    const gsf_off_t size = gsf_input_size(in.get());
    std::string data(static_cast<std::size_t>(size), '\0');
    if (size > 0) gsf_input_read(in.get(), static_cast<size_t>(size), reinterpret_cast<guint8*>(data.data()));
    return data;
}

// The summary properties of a storage, by libgsf's names, as text.
std::map<std::string, std::string> Summary(GsfInfile* storage) {
    Ptr<GsfInput> in(gsf_infile_child_by_name(storage, "\005SummaryInformation"));
    std::map<std::string, std::string> out;
    if (!in) return out;
    Ptr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
    if (GError* e = gsf_doc_meta_data_read_from_msole(meta.get(), in.get())) {
        g_error_free(e);
        return out;
    }
    gsf_doc_meta_data_foreach(
        meta.get(),
        [](gpointer key, gpointer value, gpointer user) {
            const GValue* v = gsf_doc_prop_get_val(static_cast<GsfDocProp*>(value));
            std::string text = G_VALUE_HOLDS_STRING(v) ? g_value_get_string(v)
                               : G_VALUE_HOLDS_INT(v)  ? std::to_string(g_value_get_int(v))
                                                       : "";
            (*static_cast<std::map<std::string, std::string>*>(user))[static_cast<const char*>(key)] = text;
        },
        &out);
    return out;
}

class SamplePackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gsf_init();
        const Bytes bytes = BuildPatchPackage(SampleRelease(), PATCHGEN_GCAB);
        package_ = new std::string(bytes.begin(), bytes.end());
        path_ = new std::string(TempPath("sample.msp"));
        WriteFile(*path_, *package_);
    }
    static void TearDownTestSuite() {
        std::remove(path_->c_str());
        delete package_;
        delete path_;
    }

    static Ptr<GsfInfile> Root() {
        Ptr<GsfInput> file(gsf_input_stdio_new(path_->c_str(), nullptr));
        return Ptr<GsfInfile>(file ? gsf_infile_msole_new(file.get(), nullptr) : nullptr);
    }

    static std::string* package_;
    static std::string* path_;
};

std::string* SamplePackage::package_ = nullptr;
std::string* SamplePackage::path_ = nullptr;

TEST_F(SamplePackage, IsAPatchWithTwoTransformsAndACabinetPerTarget) {
    Ptr<GsfInfile> root = Root();
    ASSERT_TRUE(root);
    guint8 clsid[16];
    ASSERT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root.get()), clsid));
    EXPECT_EQ(0, std::memcmp(clsid, kPatchClsid, sizeof clsid));
    for (const TargetProduct& t : SampleRelease().targets) {
        for (const std::string& name : {t.transform, "#" + t.transform}) {
            Ptr<GsfInfile> storage(GSF_INFILE(gsf_infile_child_by_name(root.get(), name.c_str())));
            ASSERT_TRUE(storage) << name;
            ASSERT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(storage.get()), clsid));
            EXPECT_EQ(0, std::memcmp(clsid, kTransformClsid, sizeof clsid)) << name;
        }
        // A stored cabinet: the new readme is in it as it is, under the File table's key.
        const std::string cabinet = ReadStream(root.get(), Utf16ToUtf8(EncodeStreamName(t.cabinet, false)).c_str());
        EXPECT_EQ(cabinet.substr(0, 4), "MSCF") << t.cabinet;
        EXPECT_NE(cabinet.find("ReadmeFile"), std::string::npos) << t.cabinet;
        EXPECT_NE(cabinet.find("Readme of " + t.name + " 7.2.0.2\r\n"), std::string::npos) << t.cabinet;
    }
    const std::map<std::string, std::string> summary = Summary(root.get());
    EXPECT_EQ(summary.at("meta:template"),
              "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}");
    EXPECT_EQ(summary.at("gsf:last-saved-by"), ":Studio72;:#Studio72;:Reader72;:#Reader72");
    EXPECT_EQ(summary.at("meta:editing-cycles"), "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}");
    EXPECT_EQ(summary.at("dc:title"), "Tessivar 7.2 Service Pack 2");
}

TEST_F(SamplePackage, TransformSummariesNameTheProductAndValidateOnlyItsCode) {
    Ptr<GsfInfile> root = Root();
    ASSERT_TRUE(root);
    const PatchRelease release = SampleRelease();
    for (const TargetProduct& t : release.targets) {
        for (const std::string& name : {t.transform, "#" + t.transform}) {
            Ptr<GsfInfile> storage(GSF_INFILE(gsf_infile_child_by_name(root.get(), name.c_str())));
            ASSERT_TRUE(storage) << name;
            const std::map<std::string, std::string> summary = Summary(storage.get());
            // "{old code}old version;{new code}new version;{upgrade code}"; the stand-in installer
            // of the host build reads the new version from here.
            EXPECT_EQ(summary.at("meta:editing-cycles"),
                      t.productCode + "7.0.43.3;" + t.productCode + "7.2.0.2;{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A60}")
                << name;
            // Product code in both words; no language, platform or version validation.
            EXPECT_EQ(summary.at("gsf:character-count"), std::to_string(0x00020002)) << name;
            EXPECT_EQ(summary.at("meta:template"), "Intel;0") << name;
        }
    }
}

TEST_F(SamplePackage, EveryRunWritesTheSameBytes) {
    const Bytes again = BuildPatchPackage(SampleRelease(), PATCHGEN_GCAB);
    EXPECT_TRUE(std::string(again.begin(), again.end()) == *package_);
}

}  // namespace
}  // namespace patchgen
