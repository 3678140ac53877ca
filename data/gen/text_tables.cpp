#include "data/gen/text_tables.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace texttables {
namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, sep)) out.push_back(Trim(field));
  if (!line.empty() && line.back() == sep) out.emplace_back();
  return out;
}

std::ifstream Open(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  return in;
}

}  // namespace

double ParseNumber(const std::string& text, const std::string& what) {
  const std::string t = Trim(text);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (t.empty() || end != t.c_str() + t.size() || !std::isfinite(v)) {
    throw std::runtime_error("not a number: \"" + text + "\" (" + what + ")");
  }
  return v;
}

CsvTable CsvTable::Load(const std::string& path) {
  std::ifstream in = Open(path);
  CsvTable table;
  table.path_ = path;
  std::string line;
  bool header = true;
  std::size_t lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (Trim(line).empty()) continue;
    auto fields = Split(line, ',');
    if (header) {
      for (std::size_t i = 0; i < fields.size(); ++i) table.columns_[fields[i]] = i;
      header = false;
      continue;
    }
    if (fields.size() != table.columns_.size()) {
      throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": expected " +
                               std::to_string(table.columns_.size()) + " fields");
    }
    table.rows_.push_back(std::move(fields));
  }
  return table;
}

const std::string& CsvTable::Text(std::size_t row, const std::string& column) const {
  auto it = columns_.find(column);
  if (it == columns_.end()) throw std::runtime_error(path_ + ": no column " + column);
  if (row >= rows_.size()) throw std::runtime_error(path_ + ": no row " + std::to_string(row));
  return rows_[row][it->second];
}

double CsvTable::Number(std::size_t row, const std::string& column) const {
  return ParseNumber(Text(row, column), path_ + " row " + std::to_string(row + 1) + " " + column);
}

int CsvTable::Integer(std::size_t row, const std::string& column) const {
  const double v = Number(row, column);
  if (v != std::floor(v)) throw std::runtime_error(path_ + ": " + column + " is not whole");
  return static_cast<int>(v);
}

IniFile IniFile::Load(const std::string& path) {
  std::ifstream in = Open(path);
  IniFile ini;
  ini.path_ = path;
  std::string line, section;
  while (std::getline(in, line)) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      section = Trim(t.substr(1, t.size() - 2));
      ini.sections_[section];
      continue;
    }
    const auto eq = t.find('=');
    if (eq == std::string::npos) throw std::runtime_error(path + ": bad line: " + t);
    ini.sections_[section].emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
  }
  return ini;
}

bool IniFile::Has(const std::string& section, const std::string& key) const {
  auto s = sections_.find(section);
  if (s == sections_.end()) return false;
  for (const auto& kv : s->second)
    if (kv.first == key) return true;
  return false;
}

const std::string& IniFile::Text(const std::string& section, const std::string& key) const {
  auto s = sections_.find(section);
  if (s != sections_.end()) {
    for (const auto& kv : s->second)
      if (kv.first == key) return kv.second;
  }
  throw std::runtime_error(path_ + ": no [" + section + "] " + key);
}

double IniFile::Number(const std::string& section, const std::string& key) const {
  return ParseNumber(Text(section, key), path_ + " [" + section + "] " + key);
}

int IniFile::Integer(const std::string& section, const std::string& key) const {
  const double v = Number(section, key);
  if (v != std::floor(v)) throw std::runtime_error(path_ + ": " + key + " is not whole");
  return static_cast<int>(v);
}

std::vector<double> IniFile::Numbers(const std::string& section, const std::string& key) const {
  std::vector<double> out;
  for (const auto& field : Split(Text(section, key), ','))
    out.push_back(ParseNumber(field, path_ + " [" + section + "] " + key));
  return out;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
  std::vector<std::string> out;
  auto s = sections_.find(section);
  if (s != sections_.end())
    for (const auto& kv : s->second) out.push_back(kv.first);
  return out;
}

}  // namespace texttables
