// The Qt services themselves: the file dialog's answers and the message box's
// buttons, driven as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <filesystem>

#include "fakes.h"
#include "platform/qt_platform.h"

namespace {

namespace fs = std::filesystem;

class QtServices : public ::testing::Test {
 protected:
  void SetUp() override { tonnage::testing::WriteFile(dir / "JOB.K81", "CST81 4417\r\n"); }

  platform::FileRequest Request() const {
    return {QStringLiteral("Save Data As"), dir.string(), tonnage::kDataFileFilter, {}};
  }
  static fakes::ModalDriver::Step Choose(const fs::path& path) {
    return [path](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      // Typed into the name field, as a user does (the field has the focus).
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(path.string()));
      QMetaObject::invokeMethod(dialog, "accept");
    };
  }
  static fakes::ModalDriver::Step Press(QMessageBox::StandardButton which) {
    return [which](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      box->button(which)->click();
    };
  }

  tonnage::testing::ScratchFolder scratch;
  fs::path dir = fs::path(scratch.path()).parent_path();
  platform::QtFileChooser files;
  fakes::ModalDriver driver;
};

// A name typed without an extension is kept as typed; an existing file is
// confirmed first, and No goes back to the dialog.
TEST_F(QtServices, SaveAsKeepsANameWithoutExtensionAndConfirmsReplacing) {
  QString directory;
  driver.Then([&](QWidget* w) {
    directory = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
    Choose(dir / "STP0312")(w);
  });
  EXPECT_EQ(files.SaveAs(nullptr, Request()), (dir / "STP0312").string());
  EXPECT_EQ(directory.toStdString(), dir.string());
  driver.Then(Choose(dir / "JOB.K81")).Then([](QWidget* w) {
    QPointer<QWidget> dialog = w->parentWidget();
    Press(QMessageBox::No)(w);
    QTimer::singleShot(0, [dialog] {
      if (auto* d = qobject_cast<QDialog*>(dialog.data())) d->reject();
    });
  });
  EXPECT_EQ(files.SaveAs(nullptr, Request()), std::nullopt);
  driver.Then(Choose(dir / "JOB.K81")).Then(Press(QMessageBox::Yes));
  EXPECT_EQ(files.SaveAs(nullptr, Request()), (dir / "JOB.K81").string());
  driver.Then([](QWidget* w) { qobject_cast<QFileDialog*>(w)->reject(); });
  EXPECT_EQ(files.OpenExisting(nullptr, Request()), std::nullopt);
  EXPECT_TRUE(driver.unexpected.empty());
}

TEST_F(QtServices, MessageBoxesAnswerWithTheButtonPressedAndCloseAsNo) {
  platform::QtMessages messages;
  const platform::Message question{QStringLiteral("Save Data"),
                                   QStringLiteral("Do You Want To Save The Data\n\nNoName"),
                                   {platform::Button::Yes, platform::Button::No},
                                   platform::Icon::Question,
                                   platform::Button::Yes};
  QString shown;
  driver.Then([&](QWidget* w) {
    shown = w->windowTitle() + "|" + qobject_cast<QMessageBox*>(w)->text();
    Press(QMessageBox::Yes)(w);
  });
  EXPECT_EQ(messages.Ask(nullptr, question), platform::Button::Yes);
  EXPECT_EQ(shown, "Save Data|" + question.text);
  driver.Then([](QWidget* w) { w->close(); });
  EXPECT_EQ(messages.Ask(nullptr, question), platform::Button::No);
  EXPECT_TRUE(driver.unexpected.empty());
}

}  // namespace
