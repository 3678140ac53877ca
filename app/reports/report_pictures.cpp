// Pictures in the document: the logo bitmaps of the program folder, and any picture (a graph,
// a logo) handed over directly at the document end or into a frame.
#include <QImage>
#include <QString>

#include <cmath>
#include <filesystem>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"

using namespace richtext;
using reports::detail::kParaEnd;

namespace {

// Picture size in twips from its pixels and resolution, by way of hundredths of a millimetre.
int32_t TwipsOf(int pixels, int dotsPerMeter) {
  if (dotsPerMeter <= 0) dotsPerMeter = 3780;  // 96 dpi
  const double himetric = pixels * 100000.0 / dotsPerMeter;
  return static_cast<int32_t>(std::lround(himetric / 1.7639));
}

}  // namespace

bool clsReport::PutGraphicsInReport(const std::string& fileName, bool inFrame) {
  const std::string path = (std::filesystem::path(modDataIO::GetAppFolder()) / fileName).string();
  if (!modpublic::FileExists(path)) return false;
  return modpublic::RunGuarded(ErrorSource("PutTolvaneLogoOnReport"), "", ui::kExclamation, [&] {
    const QImage image(QString::fromStdString(path));
    if (image.isNull()) vb::Raise(vb::kBadFileName, "Cannot read the picture " + path);
    const int32_t width = TwipsOf(image.width(), image.dotsPerMeterX());
    const int32_t height = TwipsOf(image.height(), image.dotsPerMeterY());
    const int32_t x = (m_TextWidth - width) / 2;  // truncated toward zero
    const Picture picture = PictureFromImage(image);
    if (inFrame) {
      const int32_t frame = TerInsertParaFrame(m_TerHwnd, x, 200, width, height, 0);
      return PastePictureInFrame(frame, 2, picture);
    }
    return PastePicture(x, width, height, false, 0, 2, picture);
  });
}

bool clsReport::PastePicture(int32_t x, int32_t width, int32_t height, bool withoutBand, int32_t y, int32_t format,
                             const richtext::Picture& picture) {
  if (TerEditor(m_TerHwnd) == nullptr || width <= 0 || height <= 0) return false;
  return modpublic::RunGuarded(ErrorSource("PastePicture"), "", ui::kExclamation,
                               [&] { return PlacePicture(x, width, height, withoutBand, y, format, picture); });
}

bool clsReport::PlacePicture(int32_t x, int32_t width, int32_t height, bool withoutBand, int32_t y, int32_t format,
                             const richtext::Picture& picture) {
  if (TerEditor(m_TerHwnd) == nullptr || width <= 0 || height <= 0) return false;
  WriteTextLine("");
  MoveToDocEnd();
  // A band across the text holds the picture's place in the text flow.
  if (!withoutBand) TerInsertParaFrame(m_TerHwnd, 0, y, m_TextWidth, height, 0);
  const int32_t frame = TerInsertParaFrame(m_TerHwnd, x, y, 0, 0, 0);
  // The picture takes exactly the size asked for.
  Picture sized = picture;
  sized.width = width;
  sized.height = height;
  if (TerPastePicture(m_TerHwnd, format, sized, frame, 0, 1) == 0) return false;
  TerAppendText(m_TerHwnd, std::string(1, kParaEnd), 0, 0, m_Repaint);
  return true;
}

bool clsReport::PastePictureInFrame(int32_t frameId, int32_t format, const richtext::Picture& picture) {
  return modpublic::RunGuarded(ErrorSource("PastePictureInFrame"), "", ui::kExclamation,
                               [&] { return PlacePictureInFrame(frameId, format, picture); });
}

bool clsReport::PlacePictureInFrame(int32_t frameId, int32_t format, const richtext::Picture& picture) {
  int32_t x = 0, y = 0, width = 0, height = 0;
  if (!TerGetFrameSize(m_TerHwnd, frameId, x, y, width, height) || width <= 0 || height <= 0) return false;
  // A picture made for the frame (its size within the frame's) keeps its size; any other
  // picture is sized to the frame.
  Picture sized = picture;
  if (!(sized.width > 0 && sized.height > 0 && sized.width <= width && sized.height <= height)) {
    sized.width = width;
    sized.height = height;
  }
  return TerPastePicture(m_TerHwnd, format, sized, frameId, 0, 1) != 0;
}
