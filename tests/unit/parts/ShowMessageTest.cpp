#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/LoadResString.h"
#include "messages/ShowMessage.h"
#include "platform/host/HostPlatform.h"

namespace {

constexpr win::UINT kErrorFlags = 0x50010;
constexpr win::UINT kInformationFlags = 0x50040;

class ShowMessageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_hInstance = host::MainModule();
        g_quiet = false;
        g_messageProductName = u"Tessivar Studio";
        win::SetThreadLocale(1033);
        host::ClearMessageBoxes();
    }
    void TearDown() override { win::SetThreadLocale(win::LOCALE_USER_DEFAULT); }

    static host::MessageBoxRecord OnlyBox() {
        const auto boxes = host::MessageBoxes();
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? host::MessageBoxRecord{} : boxes.front();
    }

    static WString Table(win::LCID locale, win::UINT id) {
        win::SetThreadLocale(locale);
        WString text;
        LoadResString(g_hInstance, id, text, 256);
        return text;
    }
};

TEST_F(ShowMessageTest, QuietShowsNothingAndLeavesTheLastError) {
    g_quiet = true;
    for (win::UINT id : {300u, 301u, 306u, 307u, 308u, 309u, 310u}) {
        win::SetLastError(1234);
        ShowMessage(id);
        EXPECT_EQ(win::GetLastError(), 1234u);
    }
    EXPECT_TRUE(host::MessageBoxes().empty());
}

TEST_F(ShowMessageTest, CatalogueCaptionsFlagsAndArguments) {
    struct Case {
        win::UINT id;
        win::UINT captionId;
        win::UINT flags;
    } cases[] = {
        {IDS_INSTALL_SUCCEEDED, IDS_CAPTION_SUCCESS, kInformationFlags},
        {IDS_ALREADY_UP_TO_DATE, IDS_CAPTION_UNNECESSARY, kErrorFlags},
        {IDS_PRODUCT_NOT_FOUND, IDS_CAPTION_ERROR, kErrorFlags},
        {IDS_VERSION_NOT_SUPPORTED, IDS_CAPTION_ERROR, kErrorFlags},
        {IDS_BAD_COMMAND_LINE, IDS_CAPTION_ERROR, kErrorFlags},
        {IDS_PATCH_LIST_REQUIRED, IDS_CAPTION_ERROR, kErrorFlags},
    };
    for (const Case& c : cases) {
        host::ClearMessageBoxes();
        ShowMessage(c.id);
        const auto box = OnlyBox();
        EXPECT_EQ(box.flags, c.flags) << c.id;
        EXPECT_EQ(box.caption, Table(1033, c.captionId)) << c.id;
        WString expected = Table(1033, c.id);
        const size_t s = expected.find(u"%s");
        if (s != WString::npos)
            expected.replace(s, 2, g_messageProductName);
        EXPECT_EQ(box.text, expected) << c.id;
    }
    EXPECT_EQ(Table(1033, IDS_CAPTION_UNNECESSARY), u"Installation Unnecessary");
}

TEST_F(ShowMessageTest, InstallFailedShowsTheCallersErrorAsSignedDecimal) {
    win::SetLastError(5);
    ShowMessage(IDS_INSTALL_FAILED);
    win::SetLastError(0x80070005u);
    ShowMessage(IDS_INSTALL_FAILED);
    const auto boxes = host::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"A problem prevented the Service Pack from being installed. Contact "
                             u"your system administrator. \n\n Error Code: 5");
    EXPECT_EQ(boxes[0].caption, u"Installation Error");
    EXPECT_EQ(boxes[0].flags, kErrorFlags);
    EXPECT_NE(boxes[1].text.find(u"Error Code: -2147024891"), WString::npos);
}

TEST_F(ShowMessageTest, AnEmptyProductNameKeepsBothBlanks) {
    g_messageProductName.clear();
    ShowMessage(IDS_INSTALL_SUCCEEDED);
    EXPECT_EQ(OnlyBox().text, u"The service pack was successfully installed and  has been updated.");
}

TEST_F(ShowMessageTest, ALongProductNameIsShownWhole) {
    g_messageProductName = WString(1023, u'N');
    ShowMessage(IDS_VERSION_NOT_SUPPORTED);
    EXPECT_NE(OnlyBox().text.find(g_messageProductName + u" that is installed"), WString::npos);
}

TEST_F(ShowMessageTest, TextAndCaptionFollowTheThreadLocale) {
    struct Case {
        win::LCID locale;
        win::LCID table;
    } cases[] = {{1041, 1041}, {1049, 1049}, {3082, 1034}, {3076, 1028}, {1043, 1033}};
    for (const Case& c : cases) {
        const WString text = Table(c.table, IDS_PRODUCT_NOT_FOUND);
        const WString caption = Table(c.table, IDS_CAPTION_ERROR);
        host::ClearMessageBoxes();
        win::SetThreadLocale(c.locale);
        ShowMessage(IDS_PRODUCT_NOT_FOUND);
        const auto box = OnlyBox();
        EXPECT_EQ(box.text, text) << c.locale;
        EXPECT_EQ(box.caption, caption) << c.locale;
    }
    EXPECT_NE(Table(1041, IDS_PRODUCT_NOT_FOUND), Table(1033, IDS_PRODUCT_NOT_FOUND));
}

TEST_F(ShowMessageTest, TheLongestTextIsShownWhole) {
    size_t longest = 0;
    for (win::LCID locale : {1028, 1029, 1031, 1033, 1034, 1036, 1038, 1040, 1041, 1042, 1045,
                             1046, 1049, 2052}) {
        const WString text = Table(locale, IDS_PRODUCT_NOT_FOUND);
        longest = std::max(longest, text.size());
        host::ClearMessageBoxes();
        ShowMessage(IDS_PRODUCT_NOT_FOUND);
        EXPECT_EQ(OnlyBox().text, text) << locale;
    }
    EXPECT_GT(longest, 150u);
}

TEST_F(ShowMessageTest, MissingEntriesGiveEmptyTextOrCaption) {
    std::ifstream file(SP_PARTIAL_RES, std::ios::binary);
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    std::string error;
    g_hInstance = host::LoadModuleImage(image, &error);
    ASSERT_NE(g_hInstance, nullptr) << error;

    ShowMessage(IDS_INSTALL_SUCCEEDED); // text present, caption 312 missing
    ShowMessage(IDS_PRODUCT_NOT_FOUND); // text missing, caption missing
    ShowMessage(302);                   // not in the catalogue
    const auto boxes = host::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Done: Tessivar Studio");
    EXPECT_EQ(boxes[0].caption, u"");
    EXPECT_EQ(boxes[1].text, u"");
    EXPECT_EQ(boxes[1].caption, u"");
    EXPECT_EQ(boxes[2].caption, u"Error");
    EXPECT_EQ(boxes[2].flags, 0x50000u);
}

} // namespace
