// The report graphs: the two charts, their starting state, and graph pictures put into the
// document full width or into a frame.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"

using namespace richtext;

bool clsReport::InitGraph(graph::Chart*& graph, int32_t type) {
  return modpublic::RunGuarded(ErrorSource("InitGraph"), "", ui::kExclamation, [&] {
    if (type == 1)
      graph = &m_Pego1;
    else if (type == 2)
      graph = &m_Pesgo1;
    if (graph == nullptr) vb::Raise(91, "Object variable or With block variable not set");
    if (type == 1)
      graph->Reset(graph::ChartType::Bar);
    else if (type == 2)
      graph->Reset(graph::ChartType::Xy);
    else
      graph->Reset();
  });
}

void clsReport::PasteFullWidthGraph(const graph::Chart& chart) {
  constexpr int32_t kHeight = 5760;
  const int32_t width = m_TextWidth - 400;
  const auto picture = graph::ExportPicture(chart, width, kHeight);
  if (!picture)
    vb::Raise(vb::kInvalidProcedureCall, "The graph could not be drawn at " + std::to_string(width) + " x 5760 twips.");
  if (!PlacePicture(200, width, kHeight, false, 200, 3, *picture))
    vb::Raise(vb::kInvalidProcedureCall, "The graph could not be put into the report.");
}

void clsReport::PasteGraphInFrame(const graph::Chart& chart, int32_t frameId) {
  int32_t x = 0, y = 0, width = 0, height = 0;
  if (!TerGetFrameSize(m_TerHwnd, frameId, x, y, width, height))
    vb::Raise(vb::kInvalidProcedureCall, "The graph's frame does not exist.");
  const auto picture = graph::ExportPicture(chart, width - 10, height - 10);
  if (!picture) vb::Raise(vb::kInvalidProcedureCall, "The graph could not be drawn in its frame.");
  if (!PlacePictureInFrame(frameId, 3, *picture))
    vb::Raise(vb::kInvalidProcedureCall, "The graph could not be put into the report.");
}
