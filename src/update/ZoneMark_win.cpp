#include <windows.h>

#include <vector>

#include "framework/Handles_win.h"
#include "framework/Wide.h"
#include "update/ZoneMark.h"

namespace {

// Where a volume keeps no named streams (Wine's view of a Unix folder), a
// name with a stream in it would make a file of its own beside the download.
bool VolumeKeepsStreams(const std::wstring& fileName) {
  std::vector<wchar_t> root(fileName.size() + 2);
  DWORD flags = 0;
  return GetVolumePathNameW(fileName.c_str(), root.data(), DWORD(root.size())) &&
         GetVolumeInformationW(root.data(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_NAMED_STREAMS) != 0;
}

}  // namespace

bool WriteZoneIdentifier(const std::string& fileName, const std::string& text) {
  const std::wstring name = Utf8ToWide(fileName);
  if (!VolumeKeepsStreams(name)) return false;
  TFileHandle stream(CreateFileW((name + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!stream) return false;
  DWORD written = 0;
  return WriteFile(stream.Get(), text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}
