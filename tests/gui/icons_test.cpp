// The program icon comes from the packaged SVG: it must be found and drawn.
#include <gtest/gtest.h>

#include <QImage>

#include "icons.h"

namespace {

TEST(ProgramIcon, ThePackagedPictureIsDrawnAtEverySize) {
  for (int size : {16, 56, 64}) {
    const QImage image = gui::ProgramPixmap(size).toImage();
    ASSERT_EQ(image.width(), size) << "no icon: the SVG resource or Qt's SVG plugin is missing";
    // The pile of asphalt under the ticket, on a clear background.
    const QColor pile = image.pixelColor(size / 2, size * 25 / 32);
    EXPECT_EQ(pile.alpha(), 255) << size;
    EXPECT_LT(pile.red(), 80) << size;
    EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0) << size;
  }
}

}  // namespace
