// ImageList3 of the help window: the open folder with its arrow for the selected topic and the
// closed folder for the others, drawn from the pixel maps in FolderImages_win.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace help {

constexpr int kOpenFolderImage = 0;
constexpr int kClosedFolderImage = 1;

// A new 16 x 16 masked image list holding the two pictures; the caller destroys it.
HIMAGELIST CreateFolderImages();

}  // namespace help
