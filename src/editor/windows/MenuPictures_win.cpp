// The pictures of the editor's menu items; see MenuPictures_win.h.
#include "editor/windows/MenuPictures_win.h"

#include "platform/UniqueHandles_win.h"

namespace editor {

void MeasureMenuPicture(MEASUREITEMSTRUCT& item, int size) {
    if (item.CtlType != ODT_MENU)
        return;
    item.itemWidth = static_cast<UINT>(size);
    item.itemHeight = static_cast<UINT>(size);
}

bool DrawMenuPicture(const DRAWITEMSTRUCT& item, HIMAGELIST images, int size) {
    if (item.CtlType != ODT_MENU)
        return false;
    const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - size) / 2;
    const int image = static_cast<int>(item.itemData);
    if (image < 0)
        return true;  // an item without a picture keeps its room blank
    if (item.itemState & (ODS_GRAYED | ODS_DISABLED)) {
        const platform::UniqueHicon icon(ImageList_GetIcon(images, image, ILD_NORMAL));
        DrawStateW(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0,
                   item.rcItem.left, top, size, size, DST_ICON | DSS_DISABLED);
    } else {
        ImageList_Draw(images, image, item.hDC, item.rcItem.left, top, ILD_TRANSPARENT);
    }
    return true;
}

}  // namespace editor
