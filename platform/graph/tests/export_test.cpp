// The exported picture: exactly the requested size, a vector picture the document embeds.
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include "platform/graph/scene.h"
#include "platform/graph/tests/test_support.h"
#include "platform/richtext/ter.h"

namespace graph {
namespace {

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureApp(); }
};

Chart OneBar(const QColor& color) {
  Chart chart(ChartType::Bar);
  chart.SetPointCount(1);
  chart.series(0).color = color;
  chart.SetY(0, 0, 90);
  return chart;
}

double Attribute(const std::string& svg, const char* name) {
  const QRegularExpression re(QStringLiteral("<svg[^>]*\\s%1=\"([0-9.]+)mm\"").arg(QLatin1String(name)));
  const auto m = re.match(QString::fromStdString(svg));
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

struct SizeCase {
  int32_t width, height;
};

TEST_F(ExportTest, PictureIsExactlyTheRequestedSizeInTwips) {
  // Full width at 7.5 inches of text, the cooling duty frames, a small summary frame, and
  // sizes that are not whole pixels.
  const SizeCase cases[] = {{10400, 5760}, {7776, 5040}, {3593, 2160}, {1084, 5040}, {4310, 2337}};
  const Chart chart = OneBar(QColor(0, 0, 191));
  for (const SizeCase& c : cases) {
    const auto pic = ExportPicture(chart, c.width, c.height);
    ASSERT_TRUE(pic.has_value()) << c.width;
    EXPECT_EQ(pic->format, richtext::Picture::Format::Svg);
    EXPECT_EQ(pic->width, c.width);
    EXPECT_EQ(pic->height, c.height);
    // The SVG says the same size (millimetres) and counts twips in its view box.
    EXPECT_NEAR(Attribute(pic->data, "width"), c.width * 25.4 / 1440, 0.01);
    EXPECT_NEAR(Attribute(pic->data, "height"), c.height * 25.4 / 1440, 0.01);
    QSvgRenderer svg(QByteArray::fromStdString(pic->data));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, c.width, c.height));
    // The RTF writer's PNG of it is the picture's size at 150 dpi.
    QImage png;
    ASSERT_TRUE(png.loadFromData(QByteArray::fromStdString(richtext::PictureAsPng(*pic)), "PNG"));
    EXPECT_EQ(png.size(), QSize(c.width * 150 / 1440, c.height * 150 / 1440));
  }
}

TEST_F(ExportTest, SizesOutsideWhatTheReportPassesGiveNoPicture) {
  const Chart chart = OneBar(QColor(0, 0, 191));
  const SizeCase bad[] = {{0, 5760}, {10400, 0}, {-1, 100}, {32768, 100}, {100, 40000}};
  for (const SizeCase& c : bad)
    EXPECT_FALSE(ExportPicture(chart, c.width, c.height).has_value()) << c.width << "x" << c.height;
  EXPECT_EQ(ToSvg(chart, 0, 10), "");
  EXPECT_TRUE(ExportPicture(chart, 32767, 1).has_value());
}

TEST_F(ExportTest, TheSameChartGivesTheSameBytes) {
  const Chart chart = OneBar(QColor(0, 0, 191));
  EXPECT_EQ(ToSvg(chart, 3593, 2160), ToSvg(chart, 3593, 2160));
}

TEST_F(ExportTest, ThePictureShowsTheGraphWhereTheLayoutPutsIt) {
  const Chart chart = OneBar(QColor(0, 176, 80));
  const int w = 7776, h = 5040;
  const auto pic = ExportPicture(chart, w, h);
  ASSERT_TRUE(pic.has_value());
  QImage img(w / 15, h / 15, QImage::Format_RGB32);
  img.fill(Qt::gray);
  {
    QPainter painter(&img);
    QSvgRenderer(QByteArray::fromStdString(pic->data)).render(&painter, QRectF(0, 0, img.width(), img.height()));
  }
  const Scene sc = BuildScene(chart, QSizeF(w, h));
  ASSERT_EQ(sc.bars.size(), 1u);
  EXPECT_EQ(img.pixelColor((sc.bars[0].rect.center() / 15).toPoint()), QColor(0, 176, 80));
  EXPECT_EQ(img.pixelColor(2, 2), QColor(255, 255, 255));  // background over the whole picture
}

TEST_F(ExportTest, TheDocumentDrawsThePictureAtItsSize) {
  const auto pic = ExportPicture(OneBar(QColor(0, 0, 191)), 7766, 5030);
  ASSERT_TRUE(pic.has_value());
  const richtext::TerHwnd h = richtext::TerCreateWindow();
  const int32_t frame = richtext::TerInsertParaFrame(h, 0, 1, 0, 0, 1);  // sized by its picture
  ASSERT_GT(richtext::TerPastePicture(h, 3, *pic, frame, 0, 1), 0);
  int drawn = 0;
  for (const auto& page : richtext::TerEditor(h)->layout().pages) {
    for (const auto& item : page.items) {
      if (const auto* d = std::get_if<richtext::DrawPicture>(&item)) {
        ++drawn;
        EXPECT_DOUBLE_EQ(d->rect.width(), 7766);
        EXPECT_DOUBLE_EQ(d->rect.height(), 5030);
      }
    }
  }
  EXPECT_EQ(drawn, 1);
  richtext::TerDestroyWindow(h);
}

}  // namespace
}  // namespace graph
