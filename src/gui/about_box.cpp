#include "about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "icons.h"
#include "tonnage_version.h"

namespace gui {

AboutBox::AboutBox(QWidget* parent) : ModalWindow(nullptr, 0, parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("Pic_Icon"));
  icon->setPixmap(ProgramPixmap(64));

  auto* name = new QLabel(QStringLiteral(" Quarrendale Tonnage"), this);
  name->setObjectName(QStringLiteral("Lbl_IconWorks"));
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  name->setFont(big);

  auto* version = new QLabel(QStringLiteral("Version %1.%2.%3")
                                 .arg(tonnage::version::kMajor)
                                 .arg(tonnage::version::kMinor)
                                 .arg(tonnage::version::kRevision),
                             this);
  version->setObjectName(QStringLiteral("Lbl_Version"));
  auto* date = new QLabel(QStringLiteral("Date ") + QString::fromLatin1(tonnage::version::kDateText), this);
  date->setObjectName(QStringLiteral("Label1"));
  auto* what = new QLabel(QStringLiteral("Quantity records of asphalt delivered to projects"), this);
  what->setObjectName(QStringLiteral("Lbl_Purpose"));

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName(QStringLiteral("Cmd_OK"));
  ok->setDefault(true);
  ok->setMinimumWidth(90);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(18, 16, 18, 16);
  layout->setHorizontalSpacing(16);
  layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
  layout->addWidget(name, 0, 1);
  layout->addWidget(what, 1, 1);
  layout->addWidget(version, 2, 1);
  layout->addWidget(date, 3, 1);
  layout->addWidget(ok, 4, 0, 1, 2, Qt::AlignRight);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace gui
