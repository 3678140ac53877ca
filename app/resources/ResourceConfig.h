// The resource configuration file: which language the installation runs in, and the font
// and name of each configured language.
//
//   <LOCALE Current="1031"/>
//   <FONTS><FONT LocaleID="1031" Name="Arial" Size="9"/></FONTS>
//   <LANGUAGES><LANGUAGE LocaleID="1031" Name="Deutsch"/></LANGUAGES>
//
// The elements may stand anywhere in the document. Only a FONT element makes a locale
// configured; its Size is read with "." as the decimal point whatever the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace resourceconfig {

// The file's name; it lies in the program folder.
inline constexpr char kConfigFileName[] = "ZeltroRESCFG.XML";

// Reads the settings of a locale from the configuration text. localeId 0 asks for the
// installation's current locale (LOCALE/@Current, used when it is numeric).
// Returns the locale id when a FONT element with Name and Size exists for it, with the font
// name and size and the language name (when a LANGUAGE element names it); else 0. Text
// that is not well-formed XML gives 0. The out-values are cleared first.
// Throws vb::RuntimeError when @Current or the font's Size is numeric but unusable (out of
// range) or the Size is not a number.
int32_t ReadLanguageSettings(const char* data, std::size_t size, int32_t localeId, std::string& languageName,
                             std::string& fontName, double& fontSize);

}  // namespace resourceconfig
