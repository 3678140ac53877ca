// clsProgram: the program's identity texts, the same the splash window and the main window
// show. The version comes from the project's one generated version header.
#pragma once

#include <string>

class clsProgram {
 public:
  clsProgram();

  const std::string& CompanyName() const { return m_CompanyName; }
  const std::string& Copyright() const { return m_Copyright; }
  const std::string& Disclaimer() const { return m_Disclaimer; }
  const std::string& Name() const { return m_Name; }
  const std::string& version() const { return m_Version; }
  const std::string& Warning() const { return m_Warning; }
  // The comments text, " v" and DeveloperVersion.
  const std::string& Comments() const { return m_Comments; }
  // major "." minor ".0." patch, e.g. "1.2.0.3".
  const std::string& DeveloperVersion() const { return m_DeveloperVersion; }

  // The texts above without an object.
  static std::string ProductName();     // "Kestrin"
  static std::string ProgramTitle();    // "Tolvane Kestrin"
  static std::string VersionText();     // the version as shown, "1.00"
  static std::string DisclaimerText();  // the no-warranty paragraph
  static std::string CopyrightText();   // the legal notice
  static std::string WarningText();     // the protection notice

 private:
  std::string m_CompanyName, m_Copyright, m_Disclaimer, m_Name, m_Version, m_Warning, m_Comments, m_DeveloperVersion;
};
