// The resources the executable carries: every string table keeps the rules the messages rely
// on, and the package and its description block agree with each other.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/LoadResString.h"
#include "messages/ResourceLanguage.h"
#include "platform/host/HostPlatform.h"
#include "platform/host/ResourceImage.h"

extern "C" const unsigned char sp_resource_image[];
extern "C" const unsigned char sp_resource_image_end[];

namespace {

const std::vector<win::LANGID> kLanguages = {1028, 1029, 1031, 1033, 1034, 1036, 1038,
                                             1040, 1041, 1042, 1045, 1046, 1049, 2052};
const win::UINT kMessageIds[] = {300, 301, 306, 307, 308, 309, 310, 311, 312, 313};

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

size_t Count(const WString& text, const char16_t* what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != WString::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override { g_hInstance = host::MainModule(); }
    void TearDown() override { win::SetThreadLocale(win::LOCALE_USER_DEFAULT); }

    static WString Entry(const std::vector<win::LANGID>& block, win::LANGID lang, win::UINT id) {
        // Read the entry from exactly this language's table.
        win::SetThreadLocale(lang);
        EXPECT_EQ(ChooseResourceLanguage(block, lang), lang);
        WString text;
        LoadResString(g_hInstance, id, text, 0x10000);
        return text;
    }
};

TEST_F(ResourcesTest, MessageBlocksExistInTheFourteenLanguages) {
    for (win::WORD block : {19, 20}) {
        auto languages = win::EnumResourceLanguages(g_hInstance, win::RT_STRING, block);
        std::sort(languages.begin(), languages.end());
        EXPECT_EQ(languages, kLanguages) << block;
    }
    for (win::WORD block : {44, 57}) {
        EXPECT_EQ(win::EnumResourceLanguages(g_hInstance, win::RT_STRING, block),
                  std::vector<win::LANGID>{1033})
            << block;
    }
    EXPECT_EQ(win::EnumResourceLanguages(g_hInstance, RT_MSP, IDR_MSP),
              std::vector<win::LANGID>{1046});
    EXPECT_EQ(win::EnumResourceLanguages(g_hInstance, RT_TXT, IDR_PATCHINFO_FIRST),
              std::vector<win::LANGID>{1046});
    EXPECT_TRUE(win::EnumResourceLanguages(g_hInstance, RT_TXT, IDR_PATCHINFO_FIRST + 1).empty());
}

TEST_F(ResourcesTest, TheImageHoldsExactlyTheInventory) {
    std::vector<host::ResourceEntry> entries;
    std::string error;
    ASSERT_TRUE(host::ParseResourceImage(sp_resource_image,
                                         static_cast<size_t>(sp_resource_image_end - sp_resource_image),
                                         entries, error))
        << error;
    std::vector<std::string> inventory;
    for (const host::ResourceEntry& e : entries) {
        const std::string type = e.type.isId ? std::to_string(e.type.id) : ToUtf8(e.type.text);
        const std::string name = e.name.isId ? std::to_string(e.name.id) : ToUtf8(e.name.text);
        inventory.push_back(type + "/" + name + "/" + std::to_string(e.language));
    }
    std::vector<std::string> expected = {"MSP/IDR_MSP/1046", "TXT/206/1046", "6/44/1033",
                                         "6/57/1033"};
    for (win::LANGID lang : kLanguages) {
        expected.push_back("6/19/" + std::to_string(lang));
        expected.push_back("6/20/" + std::to_string(lang));
    }
    std::sort(inventory.begin(), inventory.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(inventory, expected);
}

TEST_F(ResourcesTest, EveryTableKeepsTheMessageRules) {
    const auto block19 = win::EnumResourceLanguages(g_hInstance, win::RT_STRING, 19);
    for (win::LANGID lang : kLanguages) {
        for (win::UINT id : kMessageIds) {
            const WString text = Entry(block19, lang, id);
            SCOPED_TRACE("language " + std::to_string(lang) + " id " + std::to_string(id));
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size(), 255u);
            EXPECT_EQ(text.find(u'\r'), WString::npos);
            const size_t d = id == 300 ? 1 : 0;
            const size_t s = (id == 301 || id == 306 || id == 308) ? 1 : 0;
            EXPECT_EQ(Count(text, u"%d"), d);
            EXPECT_EQ(Count(text, u"%s"), s);
            EXPECT_EQ(Count(text, u"%"), d + s);
        }
        for (win::UINT id = 302; id <= 305; ++id)
            EXPECT_TRUE(Entry(block19, lang, id).empty()) << lang << " " << id;
    }
}

TEST_F(ResourcesTest, SingleLanguageResourcesAreFoundUnderAnyLocale) {
    for (win::LCID locale : {1041u, 1049u, 1043u, 1033u}) {
        win::SetThreadLocale(locale);
        EXPECT_EQ(LoadResourceForThread(g_hInstance, RT_MSP, IDR_MSP).status,
                  ResourceStatus::Loaded);
        EXPECT_EQ(LoadResourceForThread(g_hInstance, RT_TXT, IDR_PATCHINFO_FIRST).status,
                  ResourceStatus::Loaded);
        WString text;
        EXPECT_GT(LoadResString(g_hInstance, IDS_TARGET_VERSION, text, 256), 0) << locale;
        EXPECT_GT(LoadResString(g_hInstance, IDS_CANDIDATE_VERSIONS, text, 256), 0) << locale;
    }
}

TEST_F(ResourcesTest, PackageAndDescriptionBlockAgree) {
    const std::string package = ReadFile(SP_PATCH_PACKAGE);
    const std::string info = ReadFile(SP_PATCH_INFO);
    const LoadedResource msp = LoadResourceForThread(g_hInstance, RT_MSP, IDR_MSP);
    const LoadedResource txt = LoadResourceForThread(g_hInstance, RT_TXT, IDR_PATCHINFO_FIRST);
    ASSERT_EQ(msp.status, ResourceStatus::Loaded);
    ASSERT_EQ(txt.status, ResourceStatus::Loaded);
    EXPECT_EQ(std::string(static_cast<const char*>(msp.data), msp.size), package);
    EXPECT_EQ(std::string(static_cast<const char*>(txt.data), txt.size), info);

    EXPECT_NE(info.find("\r\nPatchSize=" + std::to_string(package.size()) + "\r\n"),
              std::string::npos);
    const std::string key = "\r\nProductVersionCandidate=";
    const size_t at = info.find(key);
    ASSERT_NE(at, std::string::npos);
    const size_t end = info.find("\r\n", at + key.size());
    std::string fromBlock = info.substr(at + key.size(), end - at - key.size());
    std::replace(fromBlock.begin(), fromBlock.end(), ';', ',');
    WString candidates;
    LoadResString(g_hInstance, IDS_CANDIDATE_VERSIONS, candidates, 256);
    EXPECT_EQ(fromBlock + ",", ToUtf8(candidates));
    // Every line of the block ends with CR LF, the last included.
    EXPECT_EQ(info.substr(info.size() - 2), "\r\n");
    EXPECT_EQ(info.find_first_of("\n") , info.find("\r\n") + 1);
}

} // namespace
