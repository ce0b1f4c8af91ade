#include "qt/QtCanvas.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

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

TEST(QtCanvas, KeptTextLayoutsDrawWhatThePainterDrawsAtEveryScaleAndAgain)
{
    const std::string texts[] = {"Piston %  70.44", "ValveCen -0.207", "Main Rod Length", "W", "Driv Ang 250.00"};
    for (qreal scale : {1.0, 2.0, 1.5}) {
        for (int pass = 0; pass < 2; ++pass) { // the second pass takes the kept layouts
            QImage mine(260 * scale, 140 * scale, QImage::Format_RGB32), plain = mine;
            mine.fill(Qt::white);
            plain.fill(Qt::white);
            {
                QPainter p;
                if (scale != 1) p.begin(&mine);
                std::unique_ptr<QtCanvas> c =
                    scale == 1 ? std::make_unique<QtCanvas>(mine) : std::make_unique<QtCanvas>(p, scale, 260, 140);
                int y = 2;
                for (int size : {0, 10, 14}) {
                    c->SetFontSize(size);
                    c->SetFontBold(size == 14);
                    c->SetFontColour(size == 10 ? clRed : clBlack);
                    for (const std::string& t : texts) c->TextOut(3, y, t), y += 5;
                }
            }
            QPainter p(&plain);
            p.scale(scale, scale);
            int y = 2;
            for (int size : {0, 10, 14}) {
                const QFont f = QtCanvas::FontFor(size, size == 14);
                p.setFont(f);
                p.setPen(size == 10 ? Qt::red : Qt::black);
                for (const std::string& t : texts)
                    p.drawText(QPointF(3, y + QFontMetrics(f).ascent()), QString::fromStdString(t)), y += 5;
            }
            p.end();
            EXPECT_TRUE(mine == plain) << "scale " << scale << " pass " << pass;
        }
    }
}
