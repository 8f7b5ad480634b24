// The slider positions and the opacities they give the main window.
#include "app/Transparency.h"

#include <gtest/gtest.h>

using namespace tervane;

TEST(TransparencyTest, SixteenTimesThePositionAndNoTransparencyAtTheMaximum) {
    const int expected[] = {64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240};
    for (int position = kSliderMin; position < kSliderMax; ++position)
        EXPECT_EQ(OpacityForSlider(position), expected[position - kSliderMin]) << position;
    EXPECT_EQ(OpacityForSlider(kSliderMax), std::nullopt);
}
