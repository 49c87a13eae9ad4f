// Files that cannot be data files, chosen in the open dialog: each is refused
// with one message and the main window stays for another try.
#include <gtest/gtest.h>

#include <QPushButton>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;

TEST(BadFiles, EachIsRefusedWithItsReasonAndTheMainWindowStays) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  const fs::path docs = h.root / "docs";
  const int fd = ::open((docs / "HUGE.K81").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
  ::close(fd);
  ASSERT_EQ(::mkfifo((docs / "PIPE.K81").c_str(), 0600), 0);
  const struct {
    fs::path file;
    QString title, text;
  } cases[] = {
      {docs / "HUGE.K81", "File Input Error",
       "The file is 2048 MB, far too large for a data file - Select Another File!"},
      {docs / "PIPE.K81", "File Input Error", "Not a file but a device, pipe or folder - Select Another File!"},
      {docs / "GONE.K81", "File Error",
       QString::fromStdString("Cannot open " + (docs / "GONE.K81").string() + ": No such file or directory")},
  };
  gui::MainForm1 main(h.context);
  main.show();
  fakes::ModalDriver driver;
  for (const auto& c : cases) {
    h.messages.asked.clear();
    h.files.opens = {c.file.string()};
    main.findChild<QPushButton*>("Cmd_Open")->click();
    ASSERT_EQ(h.messages.asked.size(), 1u) << c.file;
    EXPECT_EQ(h.messages.asked[0].title, c.title);
    EXPECT_EQ(h.messages.asked[0].text, c.text);
    EXPECT_EQ(h.messages.asked[0].icon, platform::Icon::Warning);
    EXPECT_FALSE(main.exited());
    EXPECT_TRUE(main.status().isEmpty());
    EXPECT_FALSE(fs::exists(c.file.string() + ".lock")) << "no lock kept for a refused file";
  }
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_EQ(h.quits, 0);
}

}  // namespace
