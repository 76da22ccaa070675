// The resources that orvane.exe carries: icon 101, the application manifest and the version record.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {
namespace {

std::wstring ExecutablePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/")) + L"\\orvane.exe";
}

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryExW(ExecutablePath().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { ::FreeLibrary(module_); }

  std::string Resource(const wchar_t* type, WORD id) {
    HRSRC found = ::FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
      return std::string();
    }
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module_, found)));
    return std::string(data, ::SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ResourcesTest, IconGroup101HoldsSevenThirtyTwoBitSizes) {
  const std::string group = Resource(RT_GROUP_ICON, 101);
  ASSERT_GE(group.size(), 6u);
  const auto* bytes = reinterpret_cast<const uint8_t*>(group.data());
  const int count = bytes[4] | (bytes[5] << 8);
  ASSERT_EQ(count, 7);
  ASSERT_EQ(group.size(), 6u + 14u * count);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const uint8_t* entry = bytes + 6 + 14 * i;
    const int width = entry[0] == 0 ? 256 : entry[0];
    const int height = entry[1] == 0 ? 256 : entry[1];
    EXPECT_EQ(width, height);
    EXPECT_EQ(entry[6] | (entry[7] << 8), 32) << "bits of the " << width << " px image";
    sizes.push_back(width);
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST_F(ResourcesTest, ManifestAsksForInvokerLevelPerMonitorDpiAndWindows10) {
  const std::string manifest = Resource(RT_MANIFEST, 1);
  for (const char* expected : {"level=\"asInvoker\"", "uiAccess=\"false\"", ">PerMonitorV2<",
                               "Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""}) {
    EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
  }
}

TEST_F(ResourcesTest, VersionRecordNamesOrvane100Build1) {
  const std::wstring path = ExecutablePath();
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars)) {
      return std::wstring(L"(missing)");
    }
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"FileDescription"), L"Orvane");
  EXPECT_EQ(text(L"FileVersion"), L"1.0.0+1");
  EXPECT_EQ(text(L"ProductVersion"), L"1.0.0+1");
}

}  // namespace
}  // namespace orvane
