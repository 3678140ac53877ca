#include "app/resources/ResourceConfig.h"

#include <pugixml.hpp>

#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"

namespace resourceconfig {
namespace {

// The largest font size taken from the file; larger sizes (or none above 0) are refused.
constexpr double kMaxFontSize = 1000.0;

double FontSizeOf(const std::string& text) {
  const double size = vb::CDbl(text);  // error 13 when not a number
  if (!(size > 0.0 && size <= kMaxFontSize)) {
    vb::Raise(vb::kInvalidProcedureCall, "Invalid font size: " + text);
  }
  return size;
}

}  // namespace

int32_t ReadLanguageSettings(const char* data, std::size_t size, int32_t localeId, std::string& languageName,
                             std::string& fontName, double& fontSize) {
  languageName.clear();
  fontName.clear();
  fontSize = 0.0;

  pugi::xml_document doc;
  if (!doc.load_buffer(data, size)) return 0;

  if (localeId == 0) {
    const pugi::xpath_node current = doc.select_node("//LOCALE/@Current");
    const std::string text = current.attribute().value();
    if (current && vb::IsNumeric(text)) localeId = vb::CLng(vb::CDbl(text));
  }
  if (localeId <= 0) return 0;

  const std::string quotedId = modpublic::QuoteString(vb::CStr(localeId));
  bool found = false;
  const pugi::xpath_node font = doc.select_node(("//FONTS/FONT[@Name][@Size][@LocaleID=" + quotedId + "]").c_str());
  if (font) {
    fontName = font.node().attribute("Name").value();
    fontSize = FontSizeOf(font.node().attribute("Size").value());
    found = true;
  }
  const pugi::xpath_node language =
      doc.select_node(("//LANGUAGES/LANGUAGE[@Name][@LocaleID=" + quotedId + "]").c_str());
  if (language) languageName = language.node().attribute("Name").value();
  return found ? localeId : 0;
}

}  // namespace resourceconfig
