// The plug-in as Windows runs it (under Wine here): paths built with '\',
// files opened by UTF-8 names that Windows only takes as UTF-16, the
// module's own location, and the built DLL loaded the way an editor loads
// it: resources found by type and id, the entry point called.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/FilterRecord.h"
#include "host/LightParameters.h"
#include "host/PathBuffer.h"
#include "host/PluginResources.h"
#include "host/platform/ModuleFiles.h"
#include "render/RegularFile.h"

namespace {

using veyra::PathBuffer;
using Bytes = std::vector<unsigned char>;

std::wstring wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::string narrow(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

std::string exePath() {
  wchar_t name[4096];
  const DWORD n = GetModuleFileNameW(nullptr, name, 4096);
  return narrow(std::wstring(name, n));
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

// ---- paths ------------------------------------------------------------------

TEST(WindowsPaths, AppendNameUsesBackslash) {
  PathBuffer path;
  path.assign("C:\\Program Files\\Editor\\Plug-ins\\KVO_Veyra.8bf");
  path.cutToFolder();
  path.appendName("Patterns");
  EXPECT_STREQ(path.c_str(), "C:\\Program Files\\Editor\\Plug-ins\\Patterns");
  path.appendName("Window.jpg");
  EXPECT_EQ(path.displayName(), "Window");
}

// The module's folder is where "Patterns" is looked for; in this test the
// code is linked into the test program, so that is the program's file.
TEST(WindowsPaths, OwnModuleIsTheFileThisCodeRunsFrom) {
  const std::string own = veyra::platform::ownModulePath();
  EXPECT_EQ(own, exePath());
  EXPECT_NE(own.find("test_windows.exe"), std::string::npos) << own;
}

// ---- files by UTF-8 names ------------------------------------------------------

struct NamedFile {
  const char* label;
  const char* utf8Name;
};

class WindowsFileNames : public ::testing::TestWithParam<NamedFile> {};

// A file created through its UTF-16 name reads back whole through the UTF-8
// name the parameter record holds.
TEST_P(WindowsFileNames, OpenByUtf8Name) {
  const std::string path = folderOf(exePath()) + "\\" + GetParam().utf8Name;
  const std::wstring wpath = wide(path);
  std::FILE* out = _wfopen(wpath.c_str(), L"wb");
  ASSERT_NE(out, nullptr);
  const char content[] = "shape bytes\r\n\x1a\x00tail";  // \r\n, ^Z and NUL survive binary mode
  std::fwrite(content, 1, sizeof content, out);
  std::fclose(out);

  std::vector<uint8_t> back;
  const bool read = veyra::readRegularFile(path.c_str(), back);
  _wremove(wpath.c_str());
  ASSERT_TRUE(read) << GetParam().label;
  EXPECT_EQ(back, std::vector<uint8_t>(content, content + sizeof content));
}

INSTANTIATE_TEST_SUITE_P(Names, WindowsFileNames,
                         ::testing::Values(NamedFile{"Ascii", "Window.png"},
                                           NamedFile{"Latin", "Fen\xC3\xAAtre d\xE2\x80\x99\xC3\xA9t\xC3\xA9.png"},
                                           NamedFile{"Cjk", "\xE7\xAA\x93\xE3\x81\xAE\xE5\xBD\xB1.jpg"},
                                           NamedFile{"BeyondBmp", "Light \xF0\x9F\x8C\x85.png"}),
                         [](const ::testing::TestParamInfo<NamedFile>& info) { return info.param.label; });

TEST(WindowsFiles, RefusesWhatIsNoRegularFile) {
  const std::string names[] = {folderOf(exePath()), "NUL", "missing \xC3\xA9.png", "bad \xC3\x28 utf-8.png"};
  for (const std::string& name : names) {
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(veyra::readRegularFile(name.c_str(), bytes)) << name;
    EXPECT_FALSE(veyra::isReadableRegularFile(name.c_str())) << name;
  }
}

// ---- the DLL as an editor loads it ----------------------------------------------

std::string modulePath() { return folderOf(folderOf(exePath())) + "\\plug-ins\\KVO_Veyra.8bf"; }

struct Library {
  HMODULE handle = LoadLibraryW(wide(modulePath()).c_str());
  ~Library() {
    if (handle != nullptr) FreeLibrary(handle);
  }
  template <typename T>
  T symbol(const char* name) const {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
  }
};

// The resource of that type and id, read as editors read it.
Bytes windowsResource(HMODULE module, const wchar_t* type, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return Bytes();
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
  return data == nullptr ? Bytes() : Bytes(data, data + SizeofResource(module, found));
}

const wchar_t* windowsType(OSType type) {
  switch (type) {
    case PI_FOURCC('P', 'i', 'P', 'L'):
      return L"PiPL";  // the loader compares names without regard to case
    case PI_FOURCC('a', 'e', 't', 'e'):
      return L"aete";
    case PI_FOURCC('B', 'M', 'P', ' '):
      return MAKEINTRESOURCEW(2);  // RT_BITMAP
  }
  return nullptr;
}

TEST(WindowsModule, ResourcesEqualTheTable) {
  Library lib;
  ASSERT_NE(lib.handle, nullptr) << modulePath() << " error " << GetLastError();
  const auto* table = lib.symbol<const PIResourceEntry*>(VEYRA_RESOURCE_TABLE_NAME);
  ASSERT_NE(table, nullptr);
  int entries = 0;
  for (const PIResourceEntry* e = table; e->type != 0; ++e, ++entries) {
    ASSERT_NE(windowsType(e->type), nullptr) << "unexpected resource type in the table";
    const Bytes fromWindows = windowsResource(lib.handle, windowsType(e->type), e->id);
    EXPECT_EQ(fromWindows, Bytes(e->data, e->data + e->size)) << "resource " << e->id;
  }
  EXPECT_EQ(entries, 4);
  // The property list names the entry point for this architecture.
  const Bytes pipl = windowsResource(lib.handle, L"PIPL", 16000);
  const std::string text(pipl.begin(), pipl.end());
  EXPECT_NE(text.find("68xw"), std::string::npos);  // 'wx86' stored byte-reversed
  EXPECT_EQ(text.find("4668") != std::string::npos, sizeof(void*) == 8);  // '8664'
}

// A minimal host: handles in process memory and a basic suite that serves
// the channel-port and buffer suites with empty tables, or nothing at all.
struct MinimalHost {
  static Handle newHandle(int32 size) {
    auto* block = static_cast<int32*>(std::calloc(1, sizeof(int32) * 2 + static_cast<size_t>(size)));
    block[0] = size;
    return reinterpret_cast<Handle>(block);
  }
  static void dispose(Handle h) { std::free(h); }
  static int32 size(Handle h) { return reinterpret_cast<int32*>(h)[0]; }
  static Ptr lock(Handle h, Boolean) { return reinterpret_cast<Ptr>(reinterpret_cast<int32*>(h) + 2); }
  static void unlock(Handle) {}
  static SPErr acquire(const char*, int32, const void** suite) {
    static const void* const kEmptyTable[16] = {};
    if (!serveSuites) return kSPSuiteNotFoundError;
    *suite = kEmptyTable;
    return kSPNoError;
  }
  static SPErr release(const char*, int32) { return kSPNoError; }
  static inline bool serveSuites = false;

  HandleProcs procs{2, 8, newHandle, dispose, size, nullptr, lock, unlock, nullptr, dispose};
  SPBasicSuite basic{acquire, release, nullptr, nullptr, nullptr, nullptr, nullptr};
  FilterRecord record{};
  MinimalHost() {
    record.handleProcs = &procs;
    record.sSPBasic = &basic;
  }
};

// The entry point runs inside the DLL: a host without the required suites is
// told so; one with them gets the parameter record made with its defaults.
TEST(WindowsModule, EntryPointAnswersAMinimalHost) {
  for (const bool serve : {false, true}) {
    SCOPED_TRACE(serve ? "suites served" : "no suites");
    MinimalHost::serveSuites = serve;
    Library lib;  // loaded anew: the suite check runs once per load
    ASSERT_NE(lib.handle, nullptr);
    const auto main = lib.symbol<PluginMainProc>(VEYRA_PLUGIN_ENTRY_NAME);
    ASSERT_NE(main, nullptr);
    MinimalHost host;
    intptr_t data = 0;
    int16 result = 1;
    main(filterSelectorParameters, &host.record, &data, &result);
    if (!serve) {
      EXPECT_EQ(result, errPlugInHostInsufficient);
      continue;
    }
    EXPECT_EQ(result, noErr);
    ASSERT_NE(host.record.parameters, nullptr);
    ASSERT_EQ(MinimalHost::size(host.record.parameters), static_cast<int32>(sizeof(veyra::LightParameters)));
    const auto* made = reinterpret_cast<const veyra::LightParameters*>(MinimalHost::lock(host.record.parameters, false));
    EXPECT_TRUE(*made == veyra::LightParameters());
    MinimalHost::dispose(host.record.parameters);
    if (data != 0) MinimalHost::dispose(reinterpret_cast<Handle>(data));
  }
}

}  // namespace
