// Readers of the readable data sources: CSV tables with a header line (no quoting; fields
// hold no commas) and INI files ([section], key = value, ';' comments).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace texttables {

class CsvTable {
 public:
  // Throws std::runtime_error naming the file when it cannot be read or a row has the
  // wrong number of fields.
  static CsvTable Load(const std::string& path);

  std::size_t rows() const { return rows_.size(); }
  const std::string& Text(std::size_t row, const std::string& column) const;
  double Number(std::size_t row, const std::string& column) const;
  int Integer(std::size_t row, const std::string& column) const;

 private:
  std::string path_;
  std::map<std::string, std::size_t> columns_;
  std::vector<std::vector<std::string>> rows_;
};

class IniFile {
 public:
  static IniFile Load(const std::string& path);

  bool Has(const std::string& section, const std::string& key) const;
  const std::string& Text(const std::string& section, const std::string& key) const;
  double Number(const std::string& section, const std::string& key) const;
  int Integer(const std::string& section, const std::string& key) const;
  std::vector<double> Numbers(const std::string& section, const std::string& key) const;
  // Every key of a section in file order.
  std::vector<std::string> Keys(const std::string& section) const;

 private:
  std::string path_;
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> sections_;
};

// Parses a whole decimal number (surrounding blanks allowed); throws std::runtime_error
// with `what` in the message otherwise.
double ParseNumber(const std::string& text, const std::string& what);

}  // namespace texttables
