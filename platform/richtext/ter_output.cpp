// Output of a laid-out document: PDF through QPdfWriter (no intermediate file), printing
// through QPrinter, and the print dialogs.
#include <QBuffer>
#include <QDateTime>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimeZone>

#include <map>
#include <memory>

#include "platform/richtext/ter.h"
#include "platform/richtext/ter_internal.h"

namespace richtext {

namespace {

PrintDialogHook& DialogHook() {
  static PrintDialogHook hook;
  return hook;
}

std::map<TerHwnd, std::unique_ptr<QPrinter>>& Printers() {
  static std::map<TerHwnd, std::unique_ptr<QPrinter>> printers;
  return printers;
}

// Why the last print of each editor failed.
std::map<TerHwnd, std::string>& PrintErrors() {
  static std::map<TerHwnd, std::string> errors;
  return errors;
}

QPrinter& PrinterOf(TerHwnd h) {
  auto& p = Printers()[h];
  if (!p) {
    p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setFullPage(true);
  }
  return *p;
}

// The page layout of a laid-out page: its sheet in portrait and the page's orientation.
QPageLayout PageLayoutOf(const PageLayout& page) {
  const double w = std::min(page.width, page.height) / 20.0;
  const double h = std::max(page.width, page.height) / 20.0;
  const QPageSize size(QSizeF(w, h), QPageSize::Point, QString(), QPageSize::ExactMatch);
  return QPageLayout(size, page.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// Paints pages [first, last] on a paged device. With per-page layout every page gets its own
// size and orientation; otherwise (printers that keep one paper orientation) landscape pages
// are turned onto portrait paper.
bool PaintPages(QPagedPaintDevice& device, const Layout& layout, int first, int last, bool perPageLayout) {
  if (layout.pages.empty()) return false;
  first = std::clamp(first, 0, static_cast<int>(layout.pages.size()) - 1);
  last = std::clamp(last, first, static_cast<int>(layout.pages.size()) - 1);
  if (perPageLayout) device.setPageLayout(PageLayoutOf(layout.pages[first]));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setRenderHint(QPainter::LosslessImageRendering);
  const double scale = device.logicalDpiX() / 1440.0;
  for (int i = first; i <= last; ++i) {
    const PageLayout& page = layout.pages[i];
    if (i > first) {
      if (perPageLayout) device.setPageLayout(PageLayoutOf(page));
      if (!device.newPage()) return false;
    }
    painter.resetTransform();
    if (!perPageLayout && page.landscape()) {
      const double paperWidth = device.width();
      painter.translate(paperWidth, 0);
      painter.rotate(90);
    }
    painter.scale(scale, scale);
    PaintPage(painter, page);
  }
  return painter.end();
}

bool PrintTo(QPrinter& printer, Editor& e) {
  const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
  const Layout& lay = e.layout();
  int first = 0, last = static_cast<int>(lay.pages.size()) - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = printer.fromPage() - 1;
    last = printer.toPage() > 0 ? printer.toPage() - 1 : last;
  }
  return PaintPages(printer, lay, first, last, pdf);
}

bool AskUser(PrintDialogKind kind, QPrinter& printer, TerHwnd h) {
  if (DialogHook()) return DialogHook()(kind, printer, h);
  switch (kind) {
    case PrintDialogKind::Print:
    case PrintDialogKind::PrintSetup: {
      QPrintDialog dlg(&printer);
      return dlg.exec() == QDialog::Accepted;
    }
    case PrintDialogKind::PageSetup: {
      QPageSetupDialog dlg(&printer);
      return dlg.exec() == QDialog::Accepted;
    }
    case PrintDialogKind::Preview:
      return true;
  }
  return false;
}

// ---- PDF jobs ----------------------------------------------------------------------------

struct PdfJob {
  QString file;
  QString title, author, subject;
  QDateTime created, modified;
  QByteArray bytes;
  std::unique_ptr<QBuffer> buffer;
  std::unique_ptr<QPdfWriter> writer;
  std::unique_ptr<QPainter> painter;
  double scale = 1;
  int pages = 0;
};

std::map<int32_t, std::unique_ptr<PdfJob>>& Jobs() {
  static std::map<int32_t, std::unique_ptr<PdfJob>> jobs;
  return jobs;
}

QDateTime ParseDate(const std::string& text) {
  const QString s = QString::fromStdString(text).trimmed();
  if (s.isEmpty()) return QDateTime::currentDateTime();
  for (const char* f : {"yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss", "MM/dd/yyyy hh:mm:ss AP", "MM/dd/yyyy hh:mm AP",
                        "MM/dd/yyyy HH:mm:ss", "M/d/yyyy h:mm:ss AP", "MM/dd/yyyy"}) {
    const QDateTime d = QDateTime::fromString(s, QString::fromLatin1(f));
    if (d.isValid()) return d;
  }
  const QDateTime iso = QDateTime::fromString(s, Qt::ISODate);
  return iso.isValid() ? iso : QDateTime::currentDateTime();
}

QByteArray PdfDate(const QDateTime& d) {
  const int offset = d.offsetFromUtc() / 60;
  QByteArray out = "D:" + d.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
  if (offset == 0) return out + "Z";
  out += offset > 0 ? "+" : "-";
  out += QByteArray::number(std::abs(offset) / 60).rightJustified(2, '0') + "'" +
         QByteArray::number(std::abs(offset) % 60).rightJustified(2, '0') + "'";
  return out;
}

// A PDF text string: UTF-16BE with its byte-order mark, hex-encoded.
QByteArray PdfText(const QString& s) {
  QByteArray utf16 = "\xFE\xFF";
  for (QChar c : s) {
    utf16 += static_cast<char>(c.unicode() >> 8);
    utf16 += static_cast<char>(c.unicode() & 0xFF);
  }
  return "<" + utf16.toHex().toUpper() + ">";
}

// Adds the document information (title, author, dates) as an incremental update: a new Info
// dictionary, a one-entry cross-reference section and a trailer pointing back to the old one.
bool AddInfo(QByteArray& pdf, const PdfJob& job) {
  const qsizetype sx = pdf.lastIndexOf("startxref");
  const qsizetype tr = pdf.lastIndexOf("trailer");
  if (sx < 0 || tr < 0) return false;
  bool ok = false;
  const qlonglong prev = pdf.mid(sx + 9, 24).trimmed().split('\n').front().trimmed().toLongLong(&ok);
  if (!ok) return false;
  const QByteArray trailer = pdf.mid(tr, sx - tr);
  auto value = [&](const QByteArray& key) -> QByteArray {
    const qsizetype k = trailer.indexOf(key);
    if (k < 0) return {};
    qsizetype i = k + key.size();
    while (i < trailer.size() && trailer[i] == ' ') ++i;
    qsizetype j = i;
    while (j < trailer.size() && trailer[j] != '/' && trailer[j] != '>' && trailer[j] != '\n') ++j;
    return trailer.mid(i, j - i).trimmed();
  };
  const QByteArray root = value("/Root");
  const qlonglong size = value("/Size").toLongLong(&ok);
  if (root.isEmpty() || !ok) return false;
  if (!pdf.endsWith('\n')) pdf += '\n';
  const qsizetype objOffset = pdf.size();
  pdf += QByteArray::number(size) + " 0 obj\n<<\n/Title " + PdfText(job.title) + "\n/Author " + PdfText(job.author) +
         "\n/Subject " + PdfText(job.subject) + "\n/Creator (Kestrin)\n/Producer (Kestrin)\n/CreationDate (" +
         PdfDate(job.created) + ")\n/ModDate (" + PdfDate(job.modified) + ")\n>>\nendobj\n";
  const qsizetype xref = pdf.size();
  pdf += "xref\n" + QByteArray::number(size) + " 1\n" + QByteArray::number(objOffset).rightJustified(10, '0') +
         " 00000 n \n";
  pdf += "trailer\n<<\n/Size " + QByteArray::number(size + 1) + "\n/Root " + root + "\n/Info " +
         QByteArray::number(size) + " 0 R\n/Prev " + QByteArray::number(prev) + "\n>>\nstartxref\n" +
         QByteArray::number(xref) + "\n%%EOF\n";
  return true;
}

// The print and page dialogs open on the document's paper (Letter for a Letter report), not
// on the locale's default paper size.
void OfferDocumentPaper(QPrinter& printer, Editor& e) {
  const Layout& lay = e.layout();
  if (lay.pages.empty()) return;
  const PageLayout& page = lay.pages.front();
  const double w = std::min(page.width, page.height) / 20.0;
  const double h = std::max(page.width, page.height) / 20.0;
  const QPageSize size(QSizeF(w, h), QPageSize::Point, QString(), QPageSize::FuzzyMatch);
  printer.setPageLayout(
      QPageLayout(size, page.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

}  // namespace

void SetPrintDialogHook(PrintDialogHook hook) { DialogHook() = std::move(hook); }

void detail::ReleasePrinter(TerHwnd h) {
  Printers().erase(h);
  PrintErrors().erase(h);
}

bool detail::RunPrintCommand(TerHwnd h, Editor& e, int command) {
  QPrinter& printer = PrinterOf(h);
  switch (command) {
    case kCmdPageSetup: {
      OfferDocumentPaper(printer, e);
      if (!AskUser(PrintDialogKind::PageSetup, printer, h)) return false;
      const QSizeF pts = printer.pageLayout().pageSize().size(QPageSize::Point);
      if (pts.width() <= 0 || pts.height() <= 0) return false;
      const auto w = static_cast<int32_t>(std::lround(std::min(pts.width(), pts.height()) * 20));
      const auto ht = static_cast<int32_t>(std::lround(std::max(pts.width(), pts.height()) * 20));
      e.paper = {w, ht};
      for (auto& s : e.doc.sections) {
        s.fmt.paperWidth = w;
        s.fmt.paperHeight = ht;
      }
      e.changed();
      if (e.view) e.view->documentChanged();
      return true;
    }
    case kCmdPrintSetup:
      OfferDocumentPaper(printer, e);
      return AskUser(PrintDialogKind::PrintSetup, printer, h);
    case kCmdPrintPreview: {
      if (DialogHook()) return DialogHook()(PrintDialogKind::Preview, printer, h) && PrintTo(printer, e);
      QPrintPreviewDialog dlg(&printer);
      QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) { PrintTo(*p, e); });
      dlg.exec();
      return true;
    }
    default:
      return false;
  }
}

std::string TerLastPrintError(TerHwnd h) {
  const auto it = PrintErrors().find(h);
  return it == PrintErrors().end() ? std::string() : it->second;
}

bool TerPrint2(TerHwnd h, bool dialog, int32_t, int32_t, int32_t, int32_t) {
  PrintErrors().erase(h);
  Editor* e = TerEditor(h);
  if (!e) return false;
  QPrinter& printer = PrinterOf(h);
  OfferDocumentPaper(printer, *e);
  if (dialog && !AskUser(PrintDialogKind::Print, printer, h)) return false;  // cancelled
  const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
  std::string error;
  if (pdf && printer.outputFileName().isEmpty()) {
    // What a printer object holds when the computer has no printer at all.
    error = "no printer is set up on this computer";
  } else if (!pdf && printer.printerName().isEmpty() && QPrinterInfo::defaultPrinter().isNull()) {
    error = "no printer is set up on this computer";
  } else if (!PrintTo(printer, *e)) {
    error = pdf ? "the file " + printer.outputFileName().toStdString() + " could not be written"
                : "the printer " + printer.printerName().toStdString() + " could not be started";
  }
  if (error.empty()) return true;
  PrintErrors()[h] = error;
  // A printer whose job failed to start can stay unusable: the next attempt gets a fresh one.
  Printers().erase(h);
  return false;
}

int32_t TerPdfSetDllName(const std::string&) {
  // PDF is written by the library itself; there is no converter to load.
  return 1;
}

int32_t TerPdfStart(const std::string& pdfFile, int32_t& job, const std::string& author, const std::string& subject,
                    const std::string& title, const std::string& created, const std::string& modified) {
  job = 0;
  if (pdfFile.empty()) return 0;
  static int32_t next = 0;
  auto j = std::make_unique<PdfJob>();
  j->file = QString::fromStdString(pdfFile);
  j->author = QString::fromStdString(author);
  j->subject = QString::fromStdString(subject);
  j->title = QString::fromStdString(title);
  j->created = ParseDate(created);
  j->modified = ParseDate(modified);
  job = ++next;
  Jobs()[job] = std::move(j);
  return job;
}

int32_t TerPdfPrintPage(TerHwnd h, int32_t job, int32_t page) {
  Editor* e = TerEditor(h);
  const auto it = Jobs().find(job);
  if (!e || it == Jobs().end()) return 0;
  PdfJob& j = *it->second;
  const Layout& lay = e->layout();
  if (lay.pages.empty()) return 0;
  int first = 0, last = static_cast<int>(lay.pages.size()) - 1;
  if (page > 0) {
    if (page > static_cast<int>(lay.pages.size())) return 0;
    first = last = page - 1;
  }
  if (!j.writer) {
    j.buffer = std::make_unique<QBuffer>(&j.bytes);
    j.buffer->open(QIODevice::WriteOnly);
    j.writer = std::make_unique<QPdfWriter>(j.buffer.get());
    j.writer->setResolution(1200);
    j.writer->setTitle(j.title);
    j.writer->setCreator(QStringLiteral("Kestrin"));
    j.writer->setPageLayout(PageLayoutOf(lay.pages[first]));
    j.painter = std::make_unique<QPainter>();
    if (!j.painter->begin(j.writer.get())) return 0;
    // Pictures (logos, graphs with their lettering) go into the PDF losslessly: the PDF engine
    // would otherwise store opaque pictures as JPEG, blurring thin lines and small text.
    j.painter->setRenderHint(QPainter::LosslessImageRendering);
    j.scale = j.writer->resolution() / 1440.0;
  }
  for (int i = first; i <= last; ++i) {
    if (j.pages > 0) {
      j.writer->setPageLayout(PageLayoutOf(lay.pages[i]));
      if (!j.writer->newPage()) return 0;
    }
    j.painter->resetTransform();
    j.painter->scale(j.scale, j.scale);
    PaintPage(*j.painter, lay.pages[i]);
    ++j.pages;
  }
  return 1;
}

int32_t TerPdfEnd(int32_t pdfHandle, int32_t job) {
  const auto it = Jobs().find(job);
  if (it == Jobs().end() || pdfHandle != job) return 0;
  std::unique_ptr<PdfJob> j = std::move(it->second);
  Jobs().erase(it);
  detail::LastSaveError().clear();
  if (!j->painter || j->pages == 0) return 0;
  if (!j->painter->end()) return 0;
  j->writer.reset();
  j->buffer->close();
  if (!AddInfo(j->bytes, *j)) return 0;
  const std::string_view bytes(j->bytes.constData(), static_cast<size_t>(j->bytes.size()));
  return detail::SaveFileBytes(j->file.toStdString(), bytes) ? 1 : 0;
}

}  // namespace richtext
