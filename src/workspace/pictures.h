#pragma once
// The program's built-in pictures, compiled in as resources from
// src/workspace/pictures (tools/drawpictures.cpp draws them): the toolbar buttons,
// also shown by the Data Browser's nodes, and the product picture of the
// splash and the About box. They are stored as raw pixels: taking one is a
// copy, with no image reader started and no icon theme looked up.

#include <QIcon>
#include <QImage>

// The picture named name ("tb-new", "product", ...); a null image when the
// program holds no such picture.
QImage pictureImage(const char *name);
// The icon of the picture named name, made once and shared by every caller
// after that.
QIcon pictureIcon(const char *name);
