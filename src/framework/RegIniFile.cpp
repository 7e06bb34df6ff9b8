#include "framework/RegIniFile.h"

#include "framework/SysUtils.h"

std::string TRegIniFile::ReadString(const std::string& section, const std::string& name,
                                    const std::string& Default) const {
  std::string text;
  return ReadText(section, name, text) ? text : Default;
}

int32_t TRegIniFile::ReadInteger(const std::string& section, const std::string& name, int32_t Default) const {
  std::string text;
  return ReadText(section, name, text) ? StrToIntDef(text, Default) : Default;
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& name, bool Default) const {
  return ReadInteger(section, name, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& name, int32_t value) {
  WriteString(section, name, IntToStr(value));
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& name, bool value) {
  WriteString(section, name, value ? "1" : "0");
}
