#include "patch_package.h"

#include <gsf/gsf.h>

#include <memory>
#include <stdexcept>

#include "cabinet.h"
#include "msi_database.h"
#include "msi_name.h"
#include "transform_table.h"

namespace patchgen {
namespace {

// Class ids of a patch package's root storage and of its transform sub-storages.
constexpr guint8 kPatchClsid[16] = {0x86, 0x10, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr guint8 kTransformClsid[16] = {0x82, 0x10, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr std::int32_t kCodepage = 1252;
constexpr std::int32_t kMinimumInstallerVersion = 200;

// Summary property ids.
enum : int {
    kPidCodepage = 1,
    kPidTitle = 2,
    kPidSubject = 3,
    kPidAuthor = 4,
    kPidKeywords = 5,
    kPidComments = 6,
    kPidTemplate = 7,
    kPidLastAuthor = 8,
    kPidRevision = 9,
    kPidCreated = 12,
    kPidSaved = 13,
    kPidPageCount = 14,
    kPidCharCount = 16,
    kPidAppName = 18,
};

// Transform validation: the product code must match. Microsoft reads the validation flags from
// the high word and error conditions to ignore from the low word; Wine reads the low word as the
// validation flags. 0x0002 in both: validate the product code, and on Windows also ignore the
// deletion of a missing row.
constexpr std::uint32_t kValidateProduct = 0x0002;
constexpr std::uint32_t kIgnoreDeleteMissingRow = 0x0002;
constexpr std::int32_t kTransformFlags = static_cast<std::int32_t>(kValidateProduct << 16 | kIgnoreDeleteMissingRow);
// Template of the transforms: any platform the product runs on, language neutral, so that one
// transform serves every language of a product.
constexpr const char* kTransformTemplate = "Intel;0";

// The file that the patch replaces, by its key in the products' File table.
constexpr const char* kReadmeKey = "ReadmeFile";
// Sequence of the replaced file: past the products' own media (their last sequence is 1), so the
// installer takes it from the patch's media.
constexpr std::int32_t kPatchFileSequence = 2;
// Property that names the patch as the source of its media.
constexpr const char* kMediaSourceProperty = "TESSIVARSP2MEDIA";
constexpr const char* kPatchFamily = "TessivarSP";

// The version guard. Transforms cannot tell 7.1.0.5 from 7.1.0.6 (the installer validates at most
// major and minor version), so the product transform reads the installed version from the
// product's uninstall entry before anything changes and stops a patch run at any other version.
// A first installation, a repair or a removal (no PATCH) passes, and so does a product already at
// the target version, so later patches can follow this one.
constexpr const char* kBaseVersionProperty = "TESSIVARSP2BASE";
constexpr const char* kBaseVersionSignature = "TessivarSP2Base";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::int32_t kRootLocalMachine = 2;
constexpr std::int32_t kLocatorRawValue = 2;
// Standard places of the two actions, before the products' first action (700).
constexpr std::int32_t kAppSearchSequence = 50;
constexpr std::int32_t kLaunchConditionsSequence = 100;
constexpr std::int64_t kFiletimeUnixOffsetSeconds = 11644473600LL;
constexpr std::int64_t kFiletimeTicksPerSecond = 10000000LL;

FileTime ToFileTime(std::int64_t unixTime) {
    return {static_cast<std::uint64_t>((unixTime + kFiletimeUnixOffsetSeconds) * kFiletimeTicksPerSecond)};
}

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
    return out;
}

void Check(gboolean ok, const std::string& what) {
    if (!ok) throw std::runtime_error("libgsf: cannot " + what);
}

void AddStream(GsfOutfile* storage, const std::string& name, const Bytes& data) {
    GsfOutput* child = gsf_outfile_new_child(storage, name.c_str(), FALSE);
    if (!child) throw std::runtime_error("libgsf: cannot add stream " + name);
    const bool ok = data.empty() || gsf_output_write(child, data.size(), data.data());
    const bool closed = gsf_output_close(child);
    g_object_unref(child);
    if (!ok || !closed) throw std::runtime_error("libgsf: cannot write stream " + name);
}

std::string TableStreamName(const std::string& table) { return Utf16ToUtf8(EncodeStreamName(table, true)); }

// The summary information of a transform that takes `product` to the target version.
Bytes TransformSummary(const PatchRelease& release, const TargetProduct& product) {
    const FileTime when = ToFileTime(release.unixTime);
    const std::string revision = product.productCode + release.candidateVersions.front() + ";" +
                                 product.productCode + release.targetVersion + ";" + release.upgradeCode;
    const std::vector<SummaryProperty> summary = {
        {kPidCodepage, kCodepage},
        {kPidTitle, std::string("Transform")},
        {kPidTemplate, std::string(kTransformTemplate)},
        {kPidLastAuthor, std::string(kTransformTemplate)},
        {kPidRevision, revision},
        {kPidCreated, when},
        {kPidSaved, when},
        {kPidPageCount, kMinimumInstallerVersion},
        {kPidCharCount, kTransformFlags},
    };
    for (NamedStream& s : BuildDatabaseStreams({}, summary))
        if (s.name == kSummaryStreamName) return std::move(s.data);
    throw std::runtime_error("libmsi wrote no summary information for transform " + product.transform);
}

// Writes one transform sub-storage: its tables, their string pool and its summary information.
void AddTransform(GsfOutfile* root, const std::string& name, const Bytes& summary,
                  const std::vector<TransformTable>& tables) {
    GsfOutput* child = gsf_outfile_new_child(root, name.c_str(), TRUE);
    if (!child) throw std::runtime_error("libgsf: cannot add storage " + name);
    std::unique_ptr<GsfOutput, decltype(&g_object_unref)> owner(child, &g_object_unref);
    GsfOutfile* storage = GSF_OUTFILE(child);
    Check(gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(storage), kTransformClsid), "set the class of " + name);
    StringPool pool(kCodepage);
    std::vector<std::pair<std::string, Bytes>> streams;
    for (const TransformTable& t : tables) streams.emplace_back(TableStreamName(t.Schema().name), t.Serialize(pool));
    AddStream(storage, TableStreamName("_StringPool"), pool.PoolStream());
    AddStream(storage, TableStreamName("_StringData"), pool.DataStream());
    for (const auto& [stream, data] : streams) AddStream(storage, stream, data);
    AddStream(storage, kSummaryStreamName, summary);
    Check(gsf_output_close(child), "close storage " + name);
}

std::string GuardCondition(const PatchRelease& release) {
    std::string condition = "NOT Installed OR NOT PATCH";
    std::vector<std::string> allowed = release.candidateVersions;
    allowed.push_back(release.targetVersion);
    for (const std::string& v : allowed) condition += std::string(" OR ") + kBaseVersionProperty + "=\"" + v + "\"";
    return condition;
}

std::vector<TransformTable> VersionGuard(const PatchRelease& release, const TargetProduct& product) {
    TransformTable sequence(InstallExecuteSequenceTable());
    sequence.Insert({std::string("AppSearch"), std::monostate{}, kAppSearchSequence});
    sequence.Insert({std::string("LaunchConditions"), std::monostate{}, kLaunchConditionsSequence});
    TransformTable search(AppSearchTable());
    search.Insert({std::string(kBaseVersionProperty), std::string(kBaseVersionSignature)});
    TransformTable locator(RegLocatorTable());
    locator.Insert({std::string(kBaseVersionSignature), kRootLocalMachine, kUninstallKey + product.productCode,
                    std::string("DisplayVersion"), kLocatorRawValue});
    TransformTable condition(LaunchConditionTable());
    condition.Insert({GuardCondition(release), release.title + " applies to " + product.name + " " +
                                                   Join(release.candidateVersions, ", ") + " only."});
    std::vector<TransformTable> tables;
    tables.push_back(std::move(sequence));
    tables.push_back(std::move(search));
    tables.push_back(std::move(locator));
    tables.push_back(std::move(condition));
    return tables;
}

// The product's changes: its version, the readme that carries it, and the version guard.
std::vector<TransformTable> ProductChanges(const PatchRelease& release, const TargetProduct& product) {
    const std::string readme = ReadmeContent(product, release.targetVersion);
    TransformTable property(PropertyTable());
    property.Update({std::string("ProductVersion")}, {{"Value", release.targetVersion}});
    TransformTable file(FileTable());
    file.Update({std::string(kReadmeKey)},
                {{"FileSize", static_cast<std::int32_t>(readme.size())}, {"Sequence", kPatchFileSequence}});
    // The new readme may have the size of the old one; the hash tells them apart.
    const auto hash = FileHashParts(readme);
    TransformTable fileHash(MsiFileHashTable());
    fileHash.Insert({std::string(kReadmeKey), 0, hash[0], hash[1], hash[2], hash[3]});
    std::vector<TransformTable> tables;
    tables.push_back(std::move(property));
    tables.push_back(std::move(file));
    tables.push_back(std::move(fileHash));
    for (TransformTable& t : VersionGuard(release, product)) tables.push_back(std::move(t));
    return tables;
}

// The patch's own media: the cabinet with the product's replaced files.
std::vector<TransformTable> PatchMedia(const TargetProduct& product) {
    TransformTable media(MediaTable());
    media.Insert({product.diskId, kPatchFileSequence, std::monostate{}, "#" + product.cabinet, std::monostate{},
                  std::string(kMediaSourceProperty)});
    std::vector<TransformTable> tables;
    tables.push_back(std::move(media));
    return tables;
}

std::vector<NamedStream> RootDatabase(const PatchRelease& release) {
    std::vector<std::string> codes, transforms;
    std::vector<std::string> names;
    for (const TargetProduct& t : release.targets) {
        codes.push_back(t.productCode);
        transforms.push_back(":" + t.transform);
        transforms.push_back(":#" + t.transform);
        names.push_back(t.name);
    }
    const FileTime when = ToFileTime(release.unixTime);
    const std::string products = Join(names, " and ");
    const std::vector<SummaryProperty> summary = {
        {kPidCodepage, kCodepage},
        {kPidTitle, release.title},
        {kPidSubject, products},
        {kPidAuthor, release.manufacturer},
        {kPidKeywords, std::string("Installer,Patch,Service Pack")},
        {kPidComments, release.description},
        {kPidTemplate, Join(codes, ";")},
        {kPidLastAuthor, Join(transforms, ";")},
        // No patches are obsoleted, so the patch code stands alone.
        {kPidRevision, release.patchCode},
        {kPidCreated, when},
        {kPidSaved, when},
        {kPidAppName, std::string("Tessivar patchgen")},
    };
    const std::string insertMetadata = "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, `Value`) VALUES (?, ?, ?)";
    const std::vector<Statement> statements = {
        {"CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), `Property` CHAR(72) NOT NULL, "
         "`Value` LONGCHAR NOT NULL PRIMARY KEY `Company`, `Property`)",
         {}},
        {insertMetadata, {"", "AllowRemoval", "0"}},
        {insertMetadata, {"", "Classification", "Service Pack"}},
        {insertMetadata, {"", "Description", release.description}},
        {insertMetadata, {"", "DisplayName", release.title}},
        {insertMetadata, {"", "ManufacturerName", release.manufacturer}},
        {insertMetadata, {"", "TargetProductName", products}},
        {"CREATE TABLE `MsiPatchSequence` (`PatchFamily` CHAR(72) NOT NULL, `ProductCode` CHAR(38), "
         "`Sequence` CHAR(72) NOT NULL, `Attributes` INT PRIMARY KEY `PatchFamily`, `ProductCode`)",
         {}},
        {"INSERT INTO `MsiPatchSequence` (`PatchFamily`, `ProductCode`, `Sequence`) VALUES (?, ?, ?)",
         {kPatchFamily, "", release.targetVersion}},
    };
    return BuildDatabaseStreams(statements, summary);
}

}  // namespace

PatchRelease SampleRelease() {
    PatchRelease r;
    r.patchCode = "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}";
    r.title = "Tessivar 7.2 Service Pack 2";
    r.description = "Service Pack 2 updates Tessivar 7.0 and 7.1 to version 7.2.0.2.";
    r.manufacturer = "Tessivar";
    r.upgradeCode = "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A60}";
    r.targetVersion = "7.2.0.2";
    r.candidateVersions = {"7.0.43.3", "7.0.43.5", "7.0.61.1", "7.1.0.5"};
    r.targets = {
        {"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}", "Tessivar Studio", "Studio72", "StudioSP2.cab", 2},
        {"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}", "Tessivar Reader", "Reader72", "ReaderSP2.cab", 3},
    };
    r.fileLocation = "\\\\deploy\\tessivar\\sp2\\TessivarSP2.exe";
    r.descriptionLocation = "\\\\deploy\\tessivar\\sp2\\readme.htm";
    r.unixTime = 1717405200;  // 2024-06-03 09:00:00 UTC
    return r;
}

PatchRelease SecondRelease() {
    PatchRelease r;
    r.patchCode = "{3C5E7A90-8001-4B7D-A1E2-5F60718293A4}";
    r.title = "Tessivar Designer 8.0 Service Pack 1";
    r.description = "Service Pack 1 updates Tessivar Designer 8.0 to version 8.0.1.0.";
    r.manufacturer = "Tessivar";
    r.upgradeCode = "{9D2B4C60-1E3F-4A58-B7C9-0A1B2C3D4E50}";
    r.targetVersion = "8.0.1.0";
    r.candidateVersions = {"8.0.0.1", "8.0.0.7"};
    r.targets = {
        {"{9D2B4C60-1E3F-4A58-B7C9-0A1B2C3D4E51}", "Tessivar Designer", "Designer80", "DesignerSP1.cab", 2},
    };
    r.fileLocation = "\\\\deploy\\designer\\sp1\\DesignerSP1.exe";
    r.descriptionLocation = "\\\\deploy\\designer\\sp1\\readme.htm";
    r.unixTime = 1733043600;  // 2024-12-01 09:00:00 UTC
    return r;
}

std::string ReadmeContent(const TargetProduct& product, const std::string& version) {
    return "Readme of " + product.name + " " + version + "\r\n";
}

Bytes BuildPatchPackage(const PatchRelease& release, const std::string& gcab) {
    if (release.targets.empty() || release.candidateVersions.empty())
        throw std::invalid_argument("a patch needs target products and candidate versions");
    GsfOutput* sink = gsf_output_memory_new();
    std::unique_ptr<GsfOutput, decltype(&g_object_unref)> sinkOwner(sink, &g_object_unref);
    GsfOutfile* root = gsf_outfile_msole_new(sink);
    if (!root) throw std::runtime_error("libgsf: cannot start a compound file");
    std::unique_ptr<GsfOutfile, decltype(&g_object_unref)> rootOwner(root, &g_object_unref);
    Check(gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root), kPatchClsid), "set the patch class");

    for (const NamedStream& s : RootDatabase(release)) AddStream(root, s.name, s.data);
    for (const TargetProduct& t : release.targets) {
        const std::string readme = ReadmeContent(t, release.targetVersion);
        AddStream(root, Utf16ToUtf8(EncodeStreamName(t.cabinet, false)),
                  MakeCabinet(gcab, kReadmeKey, readme, release.unixTime));
        const Bytes summary = TransformSummary(release, t);
        AddTransform(root, t.transform, summary, ProductChanges(release, t));
        AddTransform(root, "#" + t.transform, summary, PatchMedia(t));
    }
    Check(gsf_output_close(GSF_OUTPUT(root)), "finish the compound file");
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
    const gsf_off_t size = gsf_output_size(sink);
    if (!bytes || size <= 0) throw std::runtime_error("libgsf wrote an empty compound file");
    return Bytes(bytes, bytes + size);
}

std::string PatchInfoText(const PatchRelease& release, std::uint64_t packageSize) {
    const std::string eol = "\r\n";
    return "ProductCode=" + release.targets.front().productCode + eol +
           "ProductVersionCandidate=" + Join(release.candidateVersions, ";") + eol +
           "PatchTitle=" + release.title + eol +
           "PatchGUID=" + release.patchCode + eol +
           "PatchFileLocation=" + release.fileLocation + eol +
           "PatchSize=" + std::to_string(packageSize) + eol +
           "PatchDesc=" + release.description + eol +
           "PatchDescLocation=" + release.descriptionLocation + eol;
}

}  // namespace patchgen
