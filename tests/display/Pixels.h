#pragma once

#include <QColor>
#include <QImage>

// Whether `image` holds blue and red pixels: received and sent text painted or
// printed in their colours.
struct BlueAndRed
{
    bool blue = false, red = false;
};

inline BlueAndRed blueAndRed(const QImage &image)
{
    BlueAndRed found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            found.blue |= c.blue() > 150 && c.red() < 100 && c.green() < 100;
            found.red |= c.red() > 150 && c.blue() < 100 && c.green() < 100;
        }
    }
    return found;
}
