#include "app/image_list_icon16.h"

#include <gtest/gtest.h>

// Every index that the program and the template database use must draw a picture: the segment
// (30), the read and write commands (9, 33, 41, 42), the Modbus diagnostics command (30, 44), the
// device pictures (20, 21) and the sub-node and option pictures (22 to 29).
TEST(ImageListIcon16, HasEveryIndexInUse) {
    const TImageListIcon16& images = TImageListIcon16::Instance();
    for (int index : {9, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 33, 41, 42, 44})
        EXPECT_TRUE(images.Has(index)) << index;
    EXPECT_FALSE(images.Has(-1));
    EXPECT_FALSE(images.Has(10));
}
