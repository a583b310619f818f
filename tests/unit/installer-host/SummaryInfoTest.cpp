// Reading a package's summary information through MsiGetSummaryInformationW and
// MsiSummaryInfoGetPropertyW, from packages written for each case.
#include <gtest/gtest.h>

#include "TestPackages.h"
#include "platform/host/Faults.h"
#include "platform/host/InstallerErrors.h"
#include "platform/host/MsiPropertySet.h"

using namespace win;
using testpkg::Int;
using testpkg::Text;

namespace {

constexpr DWORD kTargetsBuffer = 2048; // what the target-list reader passes first

struct Opened {
    UINT result;
    MSIHANDLE handle;
};

Opened Open(const std::string& path) {
    MSIHANDLE handle = 0;
    const UINT result = MsiGetSummaryInformationW(0, FromUtf8(path).c_str(), 0, &handle);
    return {result, handle};
}

class SummaryInfo : public ::testing::Test {
  protected:
    // A patch-class package whose summary holds `properties`; returns an open handle to it.
    MSIHANDLE OpenWith(const std::vector<testpkg::Property>& properties) {
        const std::string path = dir_.file("package.msp");
        testpkg::WriteCompoundFile(path, host::kPatchPackageClassId,
                                   testpkg::SummaryStream(properties));
        const Opened opened = Open(path);
        EXPECT_EQ(opened.result, ERROR_SUCCESS);
        EXPECT_NE(opened.handle, 0u);
        handles_.push_back(opened.handle);
        return opened.handle;
    }
    void TearDown() override {
        for (MSIHANDLE handle : handles_)
            EXPECT_EQ(MsiCloseHandle(handle), ERROR_SUCCESS);
    }
    testpkg::TempDir dir_;
    std::vector<MSIHANDLE> handles_;
};

TEST_F(SummaryInfo, TemplateThatFitsComesInOneRead) {
    for (const std::size_t size :
         {std::size_t(0), std::size_t(38), std::size_t(kTargetsBuffer - 1)}) {
        SCOPED_TRACE(size);
        const std::string targets(size, 'T');
        const MSIHANDLE handle = OpenWith({Text(PID_TEMPLATE, targets)});
        std::vector<WCHAR> buffer(kTargetsBuffer, u'#');
        DWORD length = kTargetsBuffer;
        UINT type = 99;
        EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, PID_TEMPLATE, &type, nullptr, nullptr,
                                             buffer.data(), &length),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, host::kVtLpstr);
        EXPECT_EQ(length, size);
        EXPECT_EQ(WString(buffer.data()), FromUtf8(targets));
    }
}

TEST_F(SummaryInfo, LongerTemplateNeedsSecondReadWithReportedLengthPlusOne) {
    for (const std::size_t size : {std::size_t(kTargetsBuffer), std::size_t(5000)}) {
        SCOPED_TRACE(size);
        std::string targets;
        while (targets.size() < size)
            targets += "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};";
        targets.resize(size);
        const MSIHANDLE handle = OpenWith({Text(PID_TEMPLATE, targets)});

        // Guard characters after the buffer show that nothing is written past its end.
        std::vector<WCHAR> first(kTargetsBuffer + 4, u'#');
        DWORD length = kTargetsBuffer;
        EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, PID_TEMPLATE, nullptr, nullptr, nullptr,
                                             first.data(), &length),
                  ERROR_MORE_DATA);
        EXPECT_EQ(length, size);
        EXPECT_EQ(first[kTargetsBuffer - 1], u'\0');
        EXPECT_EQ(WString(first.begin() + kTargetsBuffer, first.end()), u"####");

        std::vector<WCHAR> second(length + 1, u'#');
        DWORD secondLength = length + 1;
        EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, PID_TEMPLATE, nullptr, nullptr, nullptr,
                                             second.data(), &secondLength),
                  ERROR_SUCCESS);
        EXPECT_EQ(secondLength, size);
        EXPECT_EQ(WString(second.data()), FromUtf8(targets));
    }
}

TEST_F(SummaryInfo, NullBufferAsksForTheLength) {
    const MSIHANDLE handle = OpenWith({Text(PID_TEMPLATE, "abc;def")});
    DWORD length = 0;
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, PID_TEMPLATE, nullptr, nullptr, nullptr, nullptr,
                                         &length),
              ERROR_SUCCESS);
    EXPECT_EQ(length, 7u);
}

TEST_F(SummaryInfo, EachKindOfPropertyComesWithItsType) {
    testpkg::Property created;
    created.pid = 12;
    created.type = host::kVtFiletime;
    created.time = {0x11223344, 0x01D00000};
    const MSIHANDLE handle =
        OpenWith({Int(host::kPidCodepage, 1252), Text(3, "Service pack"), Int(14, 200), created});
    struct Case {
        UINT pid;
        UINT type;
        int intValue;
        WString text;
    };
    const Case cases[] = {
        {host::kPidCodepage, host::kVtI2, 1252, u""},
        {3, host::kVtLpstr, 0, u"Service pack"},
        {14, host::kVtI4, 200, u""},
        {12, host::kVtFiletime, 0, u""},
        {PID_TEMPLATE, host::kVtEmpty, 0, u""}, // not in the package
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pid);
        UINT type = 99;
        int intValue = 0;
        FILETIME time{};
        WCHAR buffer[64] = u"untouched";
        DWORD length = 64;
        EXPECT_EQ(
            MsiSummaryInfoGetPropertyW(handle, c.pid, &type, &intValue, &time, buffer, &length),
            ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(intValue, c.intValue);
        if (c.type == host::kVtLpstr || c.type == host::kVtEmpty) {
            EXPECT_EQ(WString(buffer), c.text);
        }
        if (c.type == host::kVtFiletime) {
            EXPECT_EQ(time.dwLowDateTime, 0x11223344u);
            EXPECT_EQ(time.dwHighDateTime, 0x01D00000u);
        }
    }
    UINT type = 0;
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, host::kPidLimit, &type, nullptr, nullptr, nullptr,
                                         nullptr),
              ERROR_UNKNOWN_PROPERTY);
}

TEST_F(SummaryInfo, StringsAreDecodedFromTheStreamsCodePage) {
    struct Case {
        int codepage;
        std::string bytes;
        WString text;
    };
    const Case cases[] = {
        {1252, "Caf\xE9", u"Caf\u00E9"},
        {65001, "Caf\xC3\xA9", u"Caf\u00E9"},
        {1251, "\xCF\xEE", u"\u041F\u043E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codepage);
        const MSIHANDLE handle = OpenWith({Int(host::kPidCodepage, c.codepage), Text(3, c.bytes)});
        WCHAR buffer[16] = {};
        DWORD length = 16;
        EXPECT_EQ(MsiSummaryInfoGetPropertyW(handle, 3, nullptr, nullptr, nullptr, buffer, &length),
                  ERROR_SUCCESS);
        EXPECT_EQ(WString(buffer), c.text);
    }
}

TEST(SummaryInfoPackage, SamplePatchNamesTheTwoSampleTargets) {
    const Opened opened = Open(SP_SAMPLE_PATCH);
    ASSERT_EQ(opened.result, ERROR_SUCCESS);
    WCHAR buffer[kTargetsBuffer];
    DWORD length = kTargetsBuffer;
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(opened.handle, PID_TEMPLATE, nullptr, nullptr, nullptr,
                                         buffer, &length),
              ERROR_SUCCESS);
    EXPECT_EQ(WString(buffer),
              u"{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}");
    EXPECT_EQ(MsiCloseHandle(opened.handle), ERROR_SUCCESS);
}

TEST(SummaryInfoHandles, UnknownAndClosedHandlesAreInvalid) {
    testpkg::TempDir dir;
    const std::string path = dir.file("p.msp");
    testpkg::WriteCompoundFile(path, host::kPatchPackageClassId,
                               testpkg::SummaryStream({Text(PID_TEMPLATE, "x")}));
    const Opened a = Open(path);
    const Opened b = Open(path);
    ASSERT_EQ(a.result, ERROR_SUCCESS);
    ASSERT_EQ(b.result, ERROR_SUCCESS);
    EXPECT_NE(a.handle, b.handle);
    EXPECT_EQ(MsiCloseHandle(a.handle), ERROR_SUCCESS);
    EXPECT_EQ(MsiCloseHandle(a.handle), ERROR_INVALID_HANDLE);
    DWORD length = 4;
    WCHAR buffer[4];
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(a.handle, PID_TEMPLATE, nullptr, nullptr, nullptr, buffer,
                                         &length),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(0xBAD0, PID_TEMPLATE, nullptr, nullptr, nullptr, buffer,
                                         &length),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(MsiCloseHandle(0xBAD0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(MsiCloseHandle(b.handle), ERROR_SUCCESS);
}

TEST(SummaryInfoFaults, InjectedFaultsAreReturned) {
    host::InjectFault(host::Call::MsiGetSummaryInformation, 1619);
    const Opened failed = Open(SP_SAMPLE_PATCH);
    EXPECT_EQ(failed.result, 1619u);
    EXPECT_EQ(failed.handle, 0u);
    const Opened opened = Open(SP_SAMPLE_PATCH);
    ASSERT_EQ(opened.result, ERROR_SUCCESS);
    host::InjectFault(host::Call::MsiSummaryInfoGetProperty, ERROR_NOT_ENOUGH_MEMORY);
    DWORD length = 0;
    EXPECT_EQ(MsiSummaryInfoGetPropertyW(opened.handle, PID_TEMPLATE, nullptr, nullptr, nullptr,
                                         nullptr, &length),
              ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(MsiCloseHandle(opened.handle), ERROR_SUCCESS);
    host::ClearFaults();
}

// Damaged packages: every kind fails with an error and hands out no handle.
class DamagedPackage : public ::testing::Test {
  protected:
    void ExpectFails(const std::vector<std::uint8_t>& bytes, UINT expected) {
        const std::string path = dir_.file("damaged.msp");
        testpkg::WriteBytes(path, bytes);
        const Opened opened = Open(path);
        EXPECT_EQ(opened.result, expected);
        EXPECT_EQ(opened.handle, 0u);
    }
    std::vector<std::uint8_t> PackageWithSummary(const std::vector<std::uint8_t>& summary) {
        const std::string path = dir_.file("source.msp");
        testpkg::WriteCompoundFile(path, host::kPatchPackageClassId, summary);
        return testpkg::ReadBytes(path);
    }
    testpkg::TempDir dir_;
};

TEST_F(DamagedPackage, MissingFile) {
    const Opened opened = Open(dir_.file("absent.msp"));
    EXPECT_EQ(opened.result, host::kErrorOpenFailed);
    EXPECT_EQ(opened.handle, 0u);
}

TEST_F(DamagedPackage, ZeroLengthFile) {
    ExpectFails({}, host::kErrorOpenFailed);
}

TEST_F(DamagedPackage, RandomBytes) {
    std::vector<std::uint8_t> bytes(4096);
    std::uint32_t state = 12345;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 16);
    }
    ExpectFails(bytes, host::kErrorOpenFailed);
}

TEST_F(DamagedPackage, TruncatedFile) {
    std::vector<std::uint8_t> bytes = testpkg::ReadBytes(SP_SAMPLE_PATCH);
    ASSERT_GT(bytes.size(), 1024u);
    bytes.resize(bytes.size() / 2);
    ExpectFails(bytes, host::kErrorOpenFailed);
}

TEST_F(DamagedPackage, SummaryStreamCutShort) {
    std::vector<std::uint8_t> summary = testpkg::SummaryStream({Text(PID_TEMPLATE, "targets")});
    summary.resize(summary.size() - 6); // inside the template's text
    ExpectFails(PackageWithSummary(summary), host::kErrorInstallPackageInvalid);
}

TEST_F(DamagedPackage, SummaryStringLongerThanItsSection) {
    std::vector<std::uint8_t> summary = testpkg::SummaryStream({Text(PID_TEMPLATE, "targets")});
    const std::size_t lengthAt = summary.size() - 12; // "targets\0" padded to 8, then its length
    summary[lengthAt] = 0xFF;
    summary[lengthAt + 1] = 0xFF;
    ExpectFails(PackageWithSummary(summary), host::kErrorInstallPackageInvalid);
}

TEST_F(DamagedPackage, SummaryStreamOfAnotherFormat) {
    std::vector<std::uint8_t> summary = testpkg::SummaryStream({Text(PID_TEMPLATE, "targets")});
    summary[28] ^= 0xFF; // first byte of the format id
    ExpectFails(PackageWithSummary(summary), host::kErrorInstallPackageInvalid);
}

} // namespace
