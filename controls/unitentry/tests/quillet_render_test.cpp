// A window of unit entry boxes as a user sees it, in IP and in SI, rendered on the offscreen
// platform to PNG files under the build tree (test-output/quillet_window_ip.png and _si.png)
// for a reviewer to look at.
#include <QDir>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <vector>

#include "controls/unitentry/tests/quillet_fixture.h"

namespace {

struct Row {
  const char* caption;
  QVariantMap bag;
  double value;  // IP
};

class QuilletWindow : public QuilletTest {
 protected:
  void SetUp() override {
    window.setWindowTitle("Chiller plant");
    auto* form = new QFormLayout(&window);
    const std::vector<Row> rows = {
        {"Chilled water supply", {{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 38.0}, {"Max", 60.0}}, 44},
        {"Chilled water flow", {{"Units", GPM_TO_LPS}, {"FormatString", "0"}, {"FormatStringMetric", "0.0"}}, 2400},
        {"Plant capacity", {{"Units", TONS_TO_KW}, {"FormatString", "###,###,###,##0"}}, 1500},
        {"Pump head", {{"Units", FTWG_TO_KPA}, {"FormatString", "0.0"}, {"Max", 60.0}}, 75},
        {"Full-load efficiency", {{"Units", KWTON_TO_IKWKW}, {"FormatString", "0.000"}}, 0.576},
        {"Tower approach (not used)", {{"Units", F_TO_K}, {"FormatString", "0.0"}, {"Blanked", true}}, 7},
        {"Design load", {{"Units", PCT_TO_PCT}, {"FormatString", "0"}, {"Enabled", false}}, 100},
    };
    for (const Row& r : rows) {
      auto* box = new csQuillet(r.bag, &window);
      box->UnitCnv(&units);
      box->Value(r.value);
      boxes.push_back(box);
      form->addRow(r.caption, box);
    }
    window.show();
    QApplication::processEvents();
  }

  // Renders the window and saves it; returns the picture.
  QImage Render(const QString& file) {
    const QImage shot = window.grab().toImage();
    const QString dir = QStringLiteral(KESTRIN_PROGRAM_DIR "/../test-output");
    QDir().mkpath(dir);
    EXPECT_TRUE(shot.save(dir + "/" + file));
    return shot;
  }

  // The number of pixels of a colour inside a widget of the window.
  int PixelsOf(const QImage& shot, const QWidget* w, QColor colour) {
    const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (shot.pixelColor(x, y) == colour) ++n;
    return n;
  }

  QWidget window;
  std::vector<csQuillet*> boxes;
};

TEST_F(QuilletWindow, RendersReadablyInIpAndSi) {
  const QImage ip = Render("quillet_window_ip.png");
  EXPECT_EQ(Text(*boxes[0]), "44.0");
  EXPECT_EQ(boxes[0]->Label()->text(), "F");
  EXPECT_EQ(Text(*boxes[2]), "1,500");
  EXPECT_EQ(Text(*boxes[5]), "");
  units.CurrentUnitOfMeasure(nMETRIC);
  for (csQuillet* b : boxes) b->Refresh();
  QApplication::processEvents();
  const QImage si = Render("quillet_window_si.png");
  EXPECT_EQ(Text(*boxes[0]), "6.7");
  EXPECT_EQ(boxes[0]->Label()->text(), "C");
  EXPECT_EQ(Text(*boxes[1]), "151.4");
  EXPECT_EQ(boxes[1]->Label()->text(), "L/s");
  EXPECT_EQ(Text(*boxes[2]), "5,275");

  for (const QImage* shot : {&ip, &si}) {
    EXPECT_EQ(shot->size(), window.size() * window.devicePixelRatio());
    EXPECT_GE(shot->width(), boxes[0]->width());
    // Text was drawn in every shown box (dark pixels on the white field) and the pump head
    // over its maximum is red.
    for (int i : {0, 1, 2, 3, 4})
      EXPECT_GT(PixelsOf(*shot, boxes[i]->TextBox(), QColor(0, 0, 0)), 10) << "box " << i;
    EXPECT_GT(PixelsOf(*shot, boxes[3]->TextBox(), QColor(255, 0, 0)), 100);
    EXPECT_EQ(PixelsOf(*shot, boxes[0]->TextBox(), QColor(255, 0, 0)), 0);
  }
  EXPECT_NE(ip, si);
}

}  // namespace
