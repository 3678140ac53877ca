// The report graphs: InitGraph's choice of chart and starting state, and graph pictures in the
// document at exactly the size the sections ask for.
#include "app/reports/tests/report_fixture.h"

namespace reporttest {
namespace {

using namespace richtext;

using Graphs = ReportTest;

TEST_F(Graphs, InitGraphSelectsAndResetsTheChartOfTheType) {
  graph::Chart* g = nullptr;
  ASSERT_TRUE(report->InitGraph(g, 2));
  EXPECT_EQ(g, &report->Pesgo1());
  g->SetSeriesCount(3);
  g->SetPoint(2, 10, 5, 6);
  g->title = "earlier graph";
  ASSERT_TRUE(report->InitGraph(g, 2));
  EXPECT_EQ(g->SeriesCount(), 1);
  EXPECT_EQ(g->PointCount(), 50);
  EXPECT_FALSE(g->Y(0, 10).has_value()) << "no point of an earlier graph survives";
  EXPECT_EQ(g->title, "");
  EXPECT_EQ(g->yAxis.scale, graph::Scale::Manual(0, 103));

  ASSERT_TRUE(report->InitGraph(g, 1));
  EXPECT_EQ(g, &report->Pego1());
  EXPECT_EQ(g->type(), graph::ChartType::Bar);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Graphs, OtherTypesResetTheChartPassedInOrFail) {
  graph::Chart own;
  own.plot = graph::Plot::Area;
  own.SetSeriesCount(4);
  graph::Chart* g = &own;
  ASSERT_TRUE(report->InitGraph(g, 3));
  EXPECT_EQ(g, &own);
  EXPECT_EQ(own.SeriesCount(), 1);
  EXPECT_EQ(own.plot, graph::Plot::Area) << "the plot kind stays";

  g = nullptr;
  EXPECT_FALSE(report->InitGraph(g, 3));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "vexon.clsReport.InitGraph");
}

// The frame (or band) pictures hold the graph at the size asked for, to the twip.
std::vector<std::pair<int32_t, int32_t>> PictureSizes(Document& d) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const Section& s : d.sections)
    for (const Block& b : s.blocks)
      if (const auto* p = std::get_if<Paragraph>(&b))
        for (const Frame& f : p->frames)
          if (f.picture) out.emplace_back(f.picture->width, f.picture->height);
  return out;
}

TEST_F(Graphs, PicturesHaveTheRequestedSize) {
  graph::Chart* g = nullptr;
  ASSERT_TRUE(report->InitGraph(g, 2));
  g->SetPoint(0, 0, 1, 2);
  report->PasteFullWidthGraph(*g);
  ASSERT_EQ(report->TextWidth(), 10800);
  const int32_t frame = TerInsertParaFrame(report->TerHwnd(), 0, 1, 7776, 5040, 1);
  report->PasteGraphInFrame(*g, frame);
  EXPECT_EQ(PictureSizes(doc()), (std::vector<std::pair<int32_t, int32_t>>{{10400, 5760}, {7766, 5030}}));
  EXPECT_THROW(report->PasteGraphInFrame(*g, 9999), vb::RuntimeError);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace reporttest
