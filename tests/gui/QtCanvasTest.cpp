#include "platform/QtCanvas.h"

#include <gtest/gtest.h>

TEST(QtCanvas, LinesPixelsAndTextReachTheImage)
{
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QtCanvas c(img);
        c.SetPenColour(clRed);
        c.Line(0, 10, 63, 10);
        c.SetPixel(5, 40, clBlue);
        c.SetPixel(-1, 70, clBlue); // off the image: ignored
        c.SetFontColour(clGreen);
        c.TextOut(2, 20, "W");
    }
    EXPECT_EQ(img.pixel(30, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(5, 40), qRgb(0, 0, 255));
    bool green = false;
    for (int y = 20; y < 34; ++y)
        for (int x = 2; x < 14; ++x)
            if (qGreen(img.pixel(x, y)) > 60 && qRed(img.pixel(x, y)) < 100) green = true;
    EXPECT_TRUE(green);
}

TEST(QtCanvas, PenWidthTwoDrawsTwoPixelsWide)
{
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QtCanvas c(img);
        c.SetPenWidth(2);
        c.Line(0, 10, 31, 10);
    }
    int dark = 0;
    for (int y = 7; y <= 13; ++y)
        if (img.pixel(15, y) == qRgb(0, 0, 0)) ++dark;
    EXPECT_EQ(dark, 2);
}
