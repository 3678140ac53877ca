#include "app/program/clsProgram.h"

#include "kestrin_version.h"

namespace {
const char* const kCompany = "Tolvane";
const char* const kComments = "Part-load rating of chilled-water plants";
}  // namespace

std::string clsProgram::ProductName() { return "Kestrin"; }
std::string clsProgram::ProgramTitle() { return std::string(kCompany) + " " + ProductName(); }
std::string clsProgram::VersionText() { return kestrin::kVersionText; }

std::string clsProgram::DisclaimerText() {
  return "No warranty, expressed or implied, is given for the accuracy or sufficiency of the "
         "information this program provides. The user assumes all risks and all responsibility "
         "in connection with its use.";
}

std::string clsProgram::CopyrightText() { return "Copyright (C) " + std::string(kCompany) + ". All rights reserved."; }

std::string clsProgram::WarningText() {
  return "This program is protected by national and international copyright law.";
}

clsProgram::clsProgram()
    : m_CompanyName(kCompany),
      m_Copyright(CopyrightText()),
      m_Disclaimer(DisclaimerText()),
      m_Name(ProductName()),
      m_Version(VersionText()),
      m_Warning(WarningText()),
      m_DeveloperVersion(std::to_string(kestrin::kVersionMajor) + "." + std::to_string(kestrin::kVersionMinor) + ".0." +
                         std::to_string(kestrin::kVersionPatch)) {
  m_Comments = std::string(kComments) + " v" + m_DeveloperVersion;
}
