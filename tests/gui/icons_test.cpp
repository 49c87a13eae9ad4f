// The program as Qt knows it: its icon comes from the packaged SVG and must be
// found and drawn; its window titles are its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "application.h"
#include "icons.h"

namespace {

TEST(ProgramIcon, ThePackagedPictureIsDrawnAtEverySize) {
  for (int size : {16, 56, 64}) {
    const QImage image = gui::ProgramPixmap(size).toImage();
    ASSERT_EQ(image.width(), size) << "no icon: the SVG resource or Qt's SVG plugin is missing";
    // The pile of asphalt under the ticket, on a clear background.
    const QColor pile = image.pixelColor(size / 2, size * 25 / 32);
    EXPECT_TRUE(pile.alpha() == 255 && pile.red() < 80 && image.pixelColor(1, 1).alpha() == 0) << size;
  }
}

TEST(Application, WindowTitlesAreNotLengthenedWithTheProgramName) {
  gui::ConfigureApplication();
  // Qt adds a display name that was set to every window title ("Print - ..."),
  // which cut the short titles of message boxes: none may be set.
  EXPECT_EQ(QGuiApplication::applicationDisplayName() + "|" + QCoreApplication::applicationName(),
            "quarrendale-tonnage|quarrendale-tonnage");
  EXPECT_FALSE(QApplication::windowIcon().isNull());
}

}  // namespace
