// The two 16 x 16 pictures of the topic trees as plain-text pixel maps, turned into a masked
// image list of the size asked for. One character a pixel: '.' transparent, 'K' black, 'O' the
// folder's dark outline, 'Y' yellow, 'L' its highlight, 'S' its shade. Under high contrast only
// the outline and the arrow are drawn, in the window's text colour.
#include "help/FolderImages_win.h"

#include "app/SystemLook_win.h"

#include <array>
#include <cstdint>

namespace help {

namespace {

constexpr int kMapSize = 16;
using PixelMap = std::array<const char*, kMapSize>;

// An open yellow folder with a small black curved arrow above it.
constexpr PixelMap kOpenFolder = {
    ".....KKKK.......", "....K....K......", "...K......K.....", "........KKKKK...",
    "..OOOO...KKK....", ".OLLLLO...K.....", "OLYYYYLOOOOOOO..", "OLYYYYYYYYYYYO..",
    "OLYYOOOOOOOOOOOO", "OLYOLLLLLLLLLLLO", "OLOLYYYYYYYYYYO.", "OLOYYYYYYYYYYYO.",
    "OOLYYYYYYYYYYO..", "OOYYYYYYYYYYYO..", "OOOOOOOOOOOOO...", "................",
};

// A closed yellow folder.
constexpr PixelMap kClosedFolder = {
    "................", "................", "..OOOO..........", ".OLLLLO.........",
    "OLYYYYLOOOOOOO..", "OLLLLLLLLLLLLLO.", "OLYYYYYYYYYYYSO.", "OLYYYYYYYYYYYSO.",
    "OLYYYYYYYYYYYSO.", "OLYYYYYYYYYYYSO.", "OLYYYYYYYYYYYSO.", "OLYYYYYYYYYYYSO.",
    "OLYYYYYYYYYYYSO.", "OSSSSSSSSSSSSSO.", "OOOOOOOOOOOOOOO.", "................",
};

// Stands for the transparent pixels; the image list makes it the mask.
constexpr COLORREF kTransparent = RGB(255, 0, 255);

COLORREF ColorOf(char pixel, bool highContrast) {
    if (highContrast)
        return pixel == 'K' || pixel == 'O' ? GetSysColor(COLOR_WINDOWTEXT) : kTransparent;
    switch (pixel) {
    case 'K':
        return RGB(0, 0, 0);
    case 'O':
        return RGB(128, 96, 0);
    case 'Y':
        return RGB(255, 208, 64);
    case 'L':
        return RGB(255, 240, 160);
    case 'S':
        return RGB(208, 152, 32);
    default:
        return kTransparent;
    }
}

// Each pixel of the picture takes the colour of the map's pixel it falls on, so that the pixel art
// stays crisp at any size.
void AddPicture(HIMAGELIST images, const PixelMap& map, int size, bool highContrast) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top row first, as the map is written
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const platform::UniqueHbitmap bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const COLORREF color =
                ColorOf(map[y * kMapSize / size][x * kMapSize / size], highContrast);
            // A DIB holds blue in the low byte, a COLORREF red.
            pixels[y * size + x] =
                (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        }
    ImageList_AddMasked(images, bitmap.Get(), kTransparent);
}

}  // namespace

platform::UniqueHimagelist CreateFolderImages(int size) {
    platform::UniqueHimagelist images(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0));
    const bool highContrast = app::HighContrast();
    if (images) {
        AddPicture(images.Get(), kOpenFolder, size, highContrast);    // kOpenFolderImage
        AddPicture(images.Get(), kClosedFolder, size, highContrast);  // kClosedFolderImage
    }
    return images;
}

}  // namespace help
