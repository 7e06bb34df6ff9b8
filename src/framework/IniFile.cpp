#include "framework/IniFile.h"

#include "framework/SysUtils.h"

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

// A name (a path, say) may hold what would end it or make its line a
// section or a comment.
std::string EscapeName(const std::string& name) {
  std::string out;
  if (!name.empty() && (name[0] == '[' || name[0] == ';')) out += '\\';
  for (const char c : Escape(name)) {
    if (c == '=') out += '\\';
    out += c;
  }
  return out;
}

// The first '=' that no backslash escapes.
size_t NameEnd(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\')
      ++i;
    else if (line[i] == '=')
      return i;
  }
  return std::string_view::npos;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

bool SameName(const std::string& a, const std::string& b) { return LowerCaseAscii(a) == LowerCaseAscii(b); }

}  // namespace

TIniFile TIniFile::Parse(std::string_view text) {
  TIniFile ini;
  ini.FSections.push_back({"", {}});  // values before any [section]
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      ini.FSections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    const size_t equals = NameEnd(line);
    if (equals == std::string_view::npos) continue;  // not a value: ignored, as INI readers do
    ini.FSections.back().Values.push_back({Unescape(line.substr(0, equals)), Unescape(line.substr(equals + 1))});
  }
  return ini;
}

std::string TIniFile::Text() const {
  std::string text;
  for (const Section& section : FSections) {
    if (section.Name.empty() && section.Values.empty()) continue;
    if (!section.Name.empty() || &section != &FSections.front()) text += "[" + section.Name + "]\n";
    for (const Value& value : section.Values) text += EscapeName(value.Name) + "=" + Escape(value.Text) + "\n";
  }
  return text;
}

const TIniFile::Section* TIniFile::Find(const std::string& section) const {
  for (const Section& s : FSections)
    if (SameName(s.Name, section)) return &s;
  return nullptr;
}

TIniFile::Section* TIniFile::Find(const std::string& section) {
  return const_cast<Section*>(static_cast<const TIniFile*>(this)->Find(section));
}

bool TIniFile::Get(const std::string& section, const std::string& name, std::string& value) const {
  const Section* s = Find(section);
  if (!s) return false;
  for (const Value& v : s->Values)
    if (SameName(v.Name, name)) {
      value = v.Text;
      return true;
    }
  return false;
}

bool TIniFile::AddSection(const std::string& section) {
  if (Find(section)) return false;
  FSections.push_back({section, {}});
  return true;
}

void TIniFile::Set(const std::string& section, const std::string& name, const std::string& value) {
  Section* s = Find(section);
  if (!s) {
    FSections.push_back({section, {}});
    s = &FSections.back();
  }
  for (Value& v : s->Values)
    if (SameName(v.Name, name)) {
      v.Text = value;
      return;
    }
  s->Values.push_back({name, value});
}

std::vector<std::string> TIniFile::Names(const std::string& section) const {
  std::vector<std::string> names;
  if (const Section* s = Find(section))
    for (const Value& v : s->Values) names.push_back(v.Name);
  return names;
}

bool TIniFile::Remove(const std::string& section, const std::string& name) {
  Section* s = Find(section);
  if (!s) return false;
  for (auto v = s->Values.begin(); v != s->Values.end(); ++v)
    if (SameName(v->Name, name)) {
      s->Values.erase(v);
      return true;
    }
  return false;
}
