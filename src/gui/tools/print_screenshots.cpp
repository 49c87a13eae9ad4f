#include "print_screenshots.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "io/file_writer.h"
#include "nt_setup.h"
#include "print/print_dialog.h"
#include "print/spool_printing.h"
#include "prtbox.h"
#include "screenshots.h"

namespace gui {

namespace {

constexpr std::int16_t kPdfPages = 3;

bool SaveReportPages(const PrintServices& services, const QString& folder) {
  if (!services.printing) {
    std::fprintf(stderr, "no printing service: report-pages.pdf not written\n");
    return true;
  }
  const std::string path(QFile::encodeName(QDir(folder).filePath(QStringLiteral("report-pages.pdf"))).constData());
  const std::unique_ptr<tonnage::print::LinePrinter> pdf = services.printing->PdfPrinter(path);
  const tonnage::Outcome written =
      tonnage::print::PrintSpoolPages(services.session.spoolPath, 1, kPdfPages, *pdf, &tonnage::print::kReportFont);
  std::fprintf(stderr, "%s %s%s%s\n", written ? "saved" : "FAILED", path.c_str(), written ? "" : ": ",
               written.message.c_str());
  return written.ok();
}

}  // namespace

bool SavePrintScreenshots(const PrintServices& services, QWidget* parent, const QString& folder) {
  bool ok = true;
  // A selection handed on, as the viewer does for one of more than ten characters.
  const std::string selFile = SelTextFilePath(services.session);
  const bool selTextReady =
      tonnage::print::WriteSelectedText(selFile, "A PASSAGE OF THE REPORT, SELECTED IN THE VIEWER").ok();
  {
    Prtbox box(services, selTextReady, parent);
    box.show();
    ok &= SaveWindowPicture(&box, folder, QStringLiteral("print-dialog"));
    if (auto* toFile = box.findChild<QCheckBox*>(QStringLiteral("Prtfile_Check"))) toFile->click();
    ok &= SaveWindowPicture(&box, folder, QStringLiteral("print-to-file"));
    {
      NTSetup setup(services.busy, PrintersOf(services.printing), services.help, &box);
      setup.show();
      ok &= SaveWindowPicture(&setup, folder, QStringLiteral("printer-setup"));
      setup.reject();
    }
    box.reject();
  }
  tonnage::io::RemoveQuietly(selFile);
  ok &= SaveReportPages(services, folder);
  return ok;
}

}  // namespace gui
