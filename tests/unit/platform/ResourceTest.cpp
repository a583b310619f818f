#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ResImage.h"
#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"

extern "C" const unsigned char sp_resource_image[];
extern "C" const unsigned char sp_resource_image_end[];

namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Bytes(win::HMODULE module, win::HRSRC resource) {
    const win::DWORD size = win::SizeofResource(module, resource);
    const void* data = win::LockResource(win::LoadResource(module, resource));
    return data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
}

const std::vector<win::LANGID> kFourteen = {1028, 1029, 1031, 1033, 1034, 1036, 1038,
                                            1040, 1041, 1042, 1045, 1046, 1049, 2052};

TEST(EmbeddedResources, StringBlocksCarryTheFourteenLanguages) {
    const win::HMODULE module = host::MainModule();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(win::EnumResourceLanguages(module, win::RT_STRING, 19), kFourteen);
    EXPECT_EQ(win::EnumResourceLanguages(module, win::RT_STRING, 20), kFourteen);
    EXPECT_EQ(win::EnumResourceLanguages(module, win::RT_STRING, 44),
              std::vector<win::LANGID>{1033});
    EXPECT_EQ(win::EnumResourceLanguages(module, win::RT_STRING, 57),
              std::vector<win::LANGID>{1033});
}

TEST(EmbeddedResources, PatchPackageIsTheSampleFileUnderPortuguese) {
    const win::HMODULE module = host::MainModule();
    EXPECT_EQ(win::EnumResourceLanguages(module, u"MSP", u"IDR_MSP"),
              std::vector<win::LANGID>{1046});
    const win::HRSRC resource = win::FindResourceExW(module, u"MSP", u"IDR_MSP", 1046);
    ASSERT_NE(resource, nullptr);
    const std::vector<std::uint8_t> sample = ReadFile(SP_SAMPLE_MSP);
    ASSERT_EQ(win::SizeofResource(module, resource), sample.size());
    const auto* data = static_cast<const unsigned char*>(
        win::LockResource(win::LoadResource(module, resource)));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data >= sp_resource_image && data + sample.size() <= sp_resource_image_end)
        << "points into the image itself";
    EXPECT_EQ(std::memcmp(data, sample.data(), sample.size()), 0);

    EXPECT_EQ(win::FindResourceExW(nullptr, u"MSP", u"IDR_MSP", 1046), resource)
        << "a null module is the executable's own";
}

TEST(EmbeddedResources, DescriptionBlockByNumberName) {
    const win::HMODULE module = host::MainModule();
    const win::HRSRC byText = win::FindResourceExW(module, u"TXT", u"#206", 1046);
    ASSERT_NE(byText, nullptr);
    EXPECT_EQ(win::FindResourceExW(module, u"txt", win::WORD{206}, 1046), byText);
    EXPECT_EQ(Bytes(module, byText).rfind("ProductCode=", 0), 0u);
}

TEST(Resources, FailuresSayWhatWasMissing) {
    std::string error;
    const win::HMODULE module = host::LoadModuleImage(ReadFile(SP_FIXTURE_RES), &error);
    ASSERT_NE(module, nullptr) << error;
    struct Case {
        win::ResourceName type;
        win::ResourceName name;
        win::LANGID language;
        win::DWORD error;
    };
    const Case cases[] = {
        {u"ICO", win::WORD{206}, 1046, win::ERROR_RESOURCE_TYPE_NOT_FOUND},
        {u"TXT", win::WORD{208}, 1046, win::ERROR_RESOURCE_NAME_NOT_FOUND},
        {u"TXT", u"#208", 1046, win::ERROR_RESOURCE_NAME_NOT_FOUND},
        {u"TXT", u"206", 1046, win::ERROR_RESOURCE_NAME_NOT_FOUND}, // a text, not the id
        {u"TXT", win::WORD{206}, 1033, win::ERROR_RESOURCE_LANG_NOT_FOUND},
        {win::RT_STRING, win::WORD{19}, 1049, win::ERROR_RESOURCE_LANG_NOT_FOUND},
    };
    for (const Case& c : cases) {
        win::SetLastError(0);
        EXPECT_EQ(win::FindResourceExW(module, c.type, c.name, c.language), nullptr);
        EXPECT_EQ(win::GetLastError(), c.error);
    }
    EXPECT_TRUE(win::EnumResourceLanguages(module, u"TXT", win::WORD{208}).empty());
    EXPECT_EQ(win::GetLastError(), win::ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(Resources, FixtureImageHasExtraBlocksAndTwoLanguages) {
    std::string error;
    const win::HMODULE module = host::LoadModuleImage(ReadFile(SP_FIXTURE_RES), &error);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_EQ(Bytes(module, win::FindResourceExW(module, u"TXT", u"#207", 1046)),
              "Second=Block\r\n");
    EXPECT_EQ(Bytes(module, win::FindResourceExW(module, u"TXT", u"#209", 1046)),
              "After=Gap\r\n");
    EXPECT_EQ(Bytes(module, win::FindResourceExW(module, u"MSP", u"idr_msp", 1046)), "MSPDATA");
    EXPECT_EQ(win::EnumResourceLanguages(module, win::RT_STRING, 19),
              (std::vector<win::LANGID>{1033, 1041}));
}

TEST(Resources, TextNamesCompareWithoutCase) {
    ResBytes image;
    image.emptyEntry();
    image.u32(3).u32(0x30);                       // DataSize, HeaderSize
    image.text(u"Msp").text(u"idr_Msp").pad();    // TYPE, NAME as written, mixed case
    image.fixedFields(1046).raw("abc").pad();
    std::string error;
    const win::HMODULE module = host::LoadModuleImage(image.bytes, &error);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_EQ(Bytes(module, win::FindResourceExW(module, u"MSP", u"IDR_MSP", 1046)), "abc");
    EXPECT_EQ(Bytes(module, win::FindResourceExW(module, u"msp", u"idr_msp", 1046)), "abc");
}

// --- Damaged images: each kind is rejected with what is wrong and where. ---

void ExpectRejected(const ResBytes& image, const std::string& what, const std::string& where) {
    std::string error;
    EXPECT_EQ(host::LoadModuleImage(image.bytes, &error), nullptr);
    EXPECT_NE(error.find(what), std::string::npos) << error;
    EXPECT_NE(error.find(where), std::string::npos) << error;
}

TEST(DamagedResourceImage, WithoutTheEmptyFirstEntry) {
    ResBytes image;
    image.u32(3).u32(0x20).u16(0xFFFF).u16(10).u16(0xFFFF).u16(1).fixedFields(1033);
    image.raw("abc").pad();
    ExpectRejected(image, "first entry is not the empty 32-byte one", "entry 0 at offset 0");
}

TEST(DamagedResourceImage, CutInsideTheSizeFields) {
    ResBytes image;
    image.emptyEntry().u32(3).u16(0x20); // HeaderSize has two of its four bytes
    ExpectRejected(image, "HeaderSize: needs 4 bytes at offset 36", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, HeaderSizeBelowItsFields) {
    ResBytes image;
    image.emptyEntry().u32(0).u32(0x10); // 16 cannot hold TYPE, NAME and the fixed fields
    image.u16(0xFFFF).u16(10).u16(0xFFFF).u16(1).fixedFields(1033);
    ExpectRejected(image, "HeaderSize 16 is below the minimum 32", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, HeaderSizePastTheEnd) {
    ResBytes image;
    image.emptyEntry().u32(0).u32(0x1000);
    image.u16(0xFFFF).u16(10).u16(0xFFFF).u16(1).fixedFields(1033);
    ExpectRejected(image, "HeaderSize 4096 runs past the end", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, NameWithoutTerminator) {
    ResBytes image;
    image.emptyEntry().u32(0).u32(0x24);
    image.u16(0xFFFF).u16(10);                       // TYPE id 10
    image.u16(u'N').u16(u'A').u16(u'M').u16(u'E');   // NAME runs on through the header...
    image.u32(0x41414141).u32(0x41414141).u32(0x41414141).u32(0x41414141);
    ExpectRejected(image, "NAME has no terminating NUL", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, HeaderFieldsOverrunHeaderSize) {
    ResBytes image;
    image.emptyEntry().u32(0).u32(0x20);             // says 32 bytes...
    image.text(u"TXT").u16(0xFFFF).u16(206).pad();   // ...but TYPE "TXT" makes it 36
    image.fixedFields(1046);
    ExpectRejected(image, "header fields end at offset 68, past HeaderSize 32",
                   "entry 1 at offset 32");
}

TEST(DamagedResourceImage, DataPastTheEnd) {
    ResBytes image;
    image.emptyEntry().u32(100).u32(0x20);           // 100 bytes of data announced
    image.u16(0xFFFF).u16(10).u16(0xFFFF).u16(1).fixedFields(1033);
    image.raw("only ten..");
    ExpectRejected(image, "data: needs 100 bytes at offset 64, 10 left", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, DataPaddingCutOff) {
    ResBytes image;
    image.emptyEntry().u32(3).u32(0x20);
    image.u16(0xFFFF).u16(10).u16(0xFFFF).u16(1).fixedFields(1033);
    image.raw("abc");                                // the fourth byte of padding is missing
    ExpectRejected(image, "padding after the data", "entry 1 at offset 32");
}

TEST(DamagedResourceImage, Empty) {
    std::string error;
    EXPECT_EQ(host::LoadModuleImage({}, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

} // namespace
