#pragma once

#include "Image.h"

// The program's icon, drawn procedurally: a manila folder with a blue quill standing in it.
namespace icon {

// The artwork rendered at `size` x `size` pixels, antialiased, with a transparent background.
Image DrawAppIcon(int size);

}  // namespace icon
