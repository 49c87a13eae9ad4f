// The Qt services themselves: the file dialog's answers and the message box's
// buttons, driven as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <filesystem>

#include "fakes.h"
#include "platform/qt_platform.h"

namespace {

namespace fs = std::filesystem;

// Typed into the file dialog's name field, as a user does (the field has the focus).
fakes::ModalDriver::Step Choose(const fs::path& path) {
  return [path](QWidget* w) {
    w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(path.string()));
    QMetaObject::invokeMethod(w, "accept");
  };
}
fakes::ModalDriver::Step Press(QMessageBox::StandardButton which) {
  return [which](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(which)->click(); };
}

// A name typed without an extension is kept as typed; an existing file is
// confirmed first, and No goes back to the dialog.
TEST(QtServices, SaveAsKeepsANameWithoutExtensionAndConfirmsReplacing) {
  tonnage::testing::ScratchFolder scratch;
  const fs::path dir = fs::path(scratch.path()).parent_path();
  tonnage::testing::WriteFile((dir / "JOB.K81").string(), "CST81 4417\r\n");
  const platform::FileRequest request{QStringLiteral("Save Data As"), dir.string(), tonnage::kDataFileFilter, {}};
  platform::QtFileChooser files;
  fakes::ModalDriver driver;
  QString directory;
  driver.Then([&](QWidget* w) {
    directory = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
    Choose(dir / "STP0312")(w);
  });
  const std::pair saved{files.SaveAs(nullptr, request).value_or(""), directory.toStdString()};  // in this order
  EXPECT_EQ(saved, std::pair((dir / "STP0312").string(), dir.string()));
  driver.Then(Choose(dir / "JOB.K81")).Then([](QWidget* w) {  // No: back in the dialog, which is then cancelled
    QTimer::singleShot(0, [dialog = QPointer<QWidget>(w->parentWidget())] {
      if (dialog) qobject_cast<QDialog*>(dialog.data())->reject();
    });
    Press(QMessageBox::No)(w);
  });
  EXPECT_EQ(files.SaveAs(nullptr, request), std::nullopt);
  driver.Then(Choose(dir / "JOB.K81")).Then(Press(QMessageBox::Yes));
  EXPECT_EQ(files.SaveAs(nullptr, request), (dir / "JOB.K81").string());
  EXPECT_TRUE(driver.seen.size() == 5u && driver.unexpected.empty());
}

TEST(QtServices, MessageBoxesAnswerWithTheButtonPressedAndCloseAsNo) {
  platform::QtMessages messages;
  const platform::Message question{QStringLiteral("Save Data"),
                                   QStringLiteral("Do You Want To Save The Data\n\nNoName"),
                                   {platform::Button::Yes, platform::Button::No},
                                   platform::Icon::Question,
                                   platform::Button::Yes};
  QString shown;
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    shown = w->windowTitle() + "|" + qobject_cast<QMessageBox*>(w)->text();
    Press(QMessageBox::Yes)(w);
  });
  EXPECT_EQ(messages.Ask(nullptr, question), platform::Button::Yes);
  EXPECT_EQ(shown, "Save Data|" + question.text);
  driver.Then([](QWidget* w) { w->close(); });
  EXPECT_TRUE(messages.Ask(nullptr, question) == platform::Button::No && driver.unexpected.empty());
}

}  // namespace
