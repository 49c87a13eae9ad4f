#include "qt_printing.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "qt_line_printer.h"

namespace platform {

namespace {

// What render draws, on the preview's sheets.
class PreviewLinePrinter final : public tonnage::print::LinePrinter {
 public:
  explicit PreviewLinePrinter(QPrinter& printer) : sheets_(printer, ReportFont()) {}
  void SetFont(const std::string& name, int points) override { sheets_.SetFont(ReportFont(name, points)); }
  void PrintLine(std::string_view line) override { sheets_.PrintLine(line); }
  void NewPage() override { sheets_.NewPage(); }
  tonnage::Outcome EndDocument() override {
    sheets_.End();
    return tonnage::Outcome::Success();
  }
  // A preview shows what was drawn so far.
  void Abandon() override { sheets_.End(); }

 private:
  SheetPainter sheets_;
};

void HidePrintActions(QPrintPreviewDialog& dialog) {
  for (QAction* action : dialog.findChildren<QAction*>()) {
    const QString text = action->text().remove(QLatin1Char('&'));
    if (text.compare(QLatin1String("Print"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("Page setup"), Qt::CaseInsensitive) == 0)
      action->setVisible(false);
  }
}

}  // namespace

QtPrinting::QtPrinting(std::string jobFolder) : printers_(std::move(jobFolder)) {}

QtPrinting::~QtPrinting() = default;

std::unique_ptr<tonnage::print::LinePrinter> QtPrinting::PdfPrinter(const std::string& path) {
  return std::make_unique<PdfLinePrinter>(path, printers_.CurrentSheet());
}

void QtPrinting::Preview(QWidget* parent, const std::function<void(tonnage::print::LinePrinter&)>& render) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageLayout(printers_.CurrentSheet());
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintPreview"));
  dialog.setWindowTitle(QStringLiteral("Print Preview"));
  HidePrintActions(dialog);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&render](QPrinter* target) {
    PreviewLinePrinter lines(*target);
    render(lines);
    // Pages painted for the screen: nothing to fail.
    (void)lines.EndDocument();
  });
  dialog.exec();
}

}  // namespace platform
