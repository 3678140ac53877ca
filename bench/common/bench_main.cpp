// The main of every benchmark program. Before any benchmark runs it does what the program
// does at start-up: it creates the Qt application (offscreen unless a platform is set) and
// paints a picture. Both run Qt's vector code, which can leave the upper halves of the AVX
// registers in use; the numeric code then runs in the state it meets in the program, so a
// benchmark cannot look faster than the program.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <time.h>

#include <chrono>

#include "bench/common/bench_app.h"

namespace {

int gArgc = 1;
char gName[] = "kestrin_bench";
char* gArgv[] = {gName, nullptr};

}  // namespace

QGuiApplication& benchapp::App() {
  static QApplication* app = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(gArgc, gArgv);
  }();
  return *app;
}

benchapp::Seconds benchapp::Now() {
  timespec cpu{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
  return {std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(),
          static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9};
}

void benchapp::PageCounters(benchmark::State& state, int pages, const Seconds& start, const Seconds& end) {
  state.counters["pages"] = pages;
  if (pages <= 0 || state.iterations() == 0) return;
  const double perPage = 1e3 / static_cast<double>(state.iterations()) / pages;
  state.counters["ms_per_page"] = (end.cpu - start.cpu) * perPage;
  state.counters["ms_per_page_wall"] = (end.wall - start.wall) * perPage;
}

int main(int argc, char** argv) {
  benchapp::App();
  QImage image(320, 200, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkBlue, 2));
    p.drawLine(10, 190, 310, 10);
    p.drawEllipse(QRectF(40, 40, 120, 80));
    p.drawText(QPointF(20, 30), QStringLiteral("Kestrin"));
  }
  benchmark::DoNotOptimize(image.constBits());

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
