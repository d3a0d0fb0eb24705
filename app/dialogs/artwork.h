#pragma once

#include <cstdint>

class TPixels;

// The program's own pictures, drawn with the canvas so that no picture
// file is needed at run time: the program icon (also written to PNG files
// at build time for the desktop's icon theme), the splash picture and the
// about picture.

// Paints the icon into the whole of Pixels (square; any size from 16 up):
// a rounded dark tile with a strip of film and a play triangle.
void PaintProgramIcon(TPixels& Pixels);

constexpr int32_t SplashWidth = 420;
constexpr int32_t SplashHeight = 240;
// The splash picture: the icon and the program's name on a dark gradient.
void PaintSplashPicture(TPixels& Pixels);

constexpr int32_t AboutWidth = 400;
constexpr int32_t AboutHeight = 250;
// The about picture, without its texts: a light gradient with the icon.
void PaintAboutPicture(TPixels& Pixels);
