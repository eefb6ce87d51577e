// The resources of Tamrix.exe read through the system: version information,
// icon 1 and the manifest.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "clock_driver.h"

using namespace driver;

TEST(ClockResources, VersionInformation) {
  std::string path = ProgramPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

  WORD *translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0407) << "German";
  EXPECT_EQ(translation[1], 1252);

  VS_FIXEDFILEINFO *fixed = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  struct Row {
    const char *key;
    const char *value;  // null: any non-empty value
  };
  const Row rows[] = {
      {"FileVersion", "1.0.0.0"},
      {"ProductVersion", "1.0.0.0"},
      {"ProductName", "Tamrix"},
      {"InternalName", "Tamrix"},
      {"OriginalFilename", "Tamrix.exe"},
      {"FileDescription", "Kleine Uhr mit Wochentag, Datum, Uhrzeit"},
      {"CompanyName", nullptr},
      {"Email", nullptr},
      {"Website", nullptr},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.key);
    std::string key = std::string("\\StringFileInfo\\040704E4\\") + row.key;
    char *value = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void **>(&value), &length));
    if (row.value) {
      EXPECT_STREQ(value, row.value);
    } else {
      EXPECT_GT(strlen(value), 0u);
    }
  }
}

TEST(ClockResources, IconOneIs47By37With24Bits) {
  HMODULE module = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const BYTE *dir = static_cast<const BYTE *>(LockResource(LoadResource(module, group)));
  ASSERT_NE(dir, nullptr);
  // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
  EXPECT_EQ(*reinterpret_cast<const WORD *>(dir + 4), 1) << "one image";
  const BYTE *entry = dir + 6;
  EXPECT_EQ(entry[0], 47);
  EXPECT_EQ(entry[1], 37);
  EXPECT_EQ(*reinterpret_cast<const WORD *>(entry + 6), 24);
  WORD imageId = *reinterpret_cast<const WORD *>(entry + 12);
  HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));  // RT_ICON
  ASSERT_NE(image, nullptr);
  const BITMAPINFOHEADER *header = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, image)));
  EXPECT_EQ(header->biWidth, 47);
  EXPECT_EQ(header->biHeight, 74) << "image and mask";
  EXPECT_EQ(header->biBitCount, 24);
  // The face is red: count pure red pixels in the image rows.
  const BYTE *pixels = reinterpret_cast<const BYTE *>(header) + header->biSize;
  int stride = (47 * 3 + 3) & ~3, red = 0;
  for (int y = 0; y < 37; y++)
    for (int x = 0; x < 47; x++) {
      const BYTE *p = pixels + y * stride + x * 3;
      red += p[2] == 255 && p[1] == 0 && p[0] == 0;
    }
  EXPECT_GT(red, 200);
  FreeLibrary(module);
}

TEST(ClockResources, ManifestAsksForCommonControlsSixForThisProcessor) {
  HMODULE module = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  std::string manifest(static_cast<const char *>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << manifest;
#ifdef _WIN64
  const char *arch = "processorArchitecture=\"amd64\"";
#else
  const char *arch = "processorArchitecture=\"x86\"";
#endif
  EXPECT_NE(manifest.find(arch), std::string::npos) << manifest;
  // Per-monitor aware (v2 on Windows 10, v1 on 8.1, system-aware before), and
  // written for Windows 7, 8, 8.1 and 10/11.
  const char *declared[] = {
      ">true/pm</dpiAware>",
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor<",
      "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
      "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
      "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
      "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
  };
  for (const char *text : declared) EXPECT_NE(manifest.find(text), std::string::npos) << text << "\n" << manifest;
  FreeLibrary(module);
}
