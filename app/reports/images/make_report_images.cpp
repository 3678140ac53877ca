// Draws the report logos into the program folder as bitmaps (96 dpi): the cover logo, the
// blue cover banner and the small footer logo. Plain word marks of our own.
//   make_report_images <program folder>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <string>

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dpi
const QColor kHeaderBlue(24, 145, 246);
const QColor kTitleBlue(21, 44, 115);

QImage Canvas(int w, int h, const QColor& fill) {
  QImage img(w, h, QImage::Format_RGB32);
  img.setDotsPerMeterX(kDotsPerMeter);
  img.setDotsPerMeterY(kDotsPerMeter);
  img.fill(fill);
  return img;
}

void WordMark(QPainter& p, const QRect& box, const QString& text, const QColor& color, int pixelSize,
              Qt::Alignment align, double letterSpacing) {
  QFont f("Liberation Sans");
  f.setPixelSize(pixelSize);
  f.setBold(true);
  f.setLetterSpacing(QFont::PercentageSpacing, letterSpacing);
  p.setFont(f);
  p.setPen(color);
  p.drawText(box, static_cast<int>(align | Qt::AlignVCenter), text);
}

// The cover logo: a square mark of three rising bars, then the word mark.
QImage CoverLogo() {
  QImage img = Canvas(360, 90, Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kHeaderBlue);
  p.drawRoundedRect(QRectF(6, 9, 72, 72), 10, 10);
  p.setBrush(Qt::white);
  const int heights[] = {22, 36, 50};
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(18 + i * 18, 71 - heights[i], 12, heights[i]));
  WordMark(p, QRect(92, 0, 268, 90), "TOLVANE", kTitleBlue, 46, Qt::AlignLeft, 108);
  return img;
}

// The blue banner of the cover page: the word mark in white on the header blue.
QImage CoverBanner() {
  QImage img = Canvas(720, 72, kHeaderBlue);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, 60, 720, 4), kTitleBlue);
  WordMark(p, QRect(24, 0, 672, 60), "TOLVANE", Qt::white, 36, Qt::AlignLeft, 112);
  return img;
}

// The footer logo: a small word mark.
QImage FooterLogo() {
  QImage img = Canvas(120, 24, Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  WordMark(p, QRect(0, 0, 120, 24), "TOLVANE", kHeaderBlue, 15, Qt::AlignHCenter, 110);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_report_images <program folder>\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  int qargc = 1;
  QGuiApplication app(qargc, argv);
  const struct {
    const char* name;
    QImage image;
  } images[] = {
      {"Tolvane-Logo.bmp", CoverLogo()}, {"Tolvane-Blue.bmp", CoverBanner()}, {"Footer-Logo.bmp", FooterLogo()}};
  for (const auto& i : images) {
    if (!i.image.save(dir + i.name, "BMP")) {
      std::fprintf(stderr, "make_report_images: cannot write %s\n", i.name);
      return 1;
    }
  }
  return 0;
}
