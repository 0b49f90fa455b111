// Where each command shows; see CommandPlaces.h.
#include "editor/commands/CommandPlaces.h"

#include <algorithm>

#include "EditorTexts.h"
#include "TransferMenuTexts.h"

namespace editor {

namespace {

constexpr CommandKey NoKey{};
constexpr CommandKey Plain(unsigned short key) { return {false, key}; }
constexpr CommandKey Ctrl(unsigned short key) { return {true, key}; }
// The names the list gives its keys.
constexpr unsigned short kInsert = kKeyInsert, kDelete = kKeyDelete, kReturn = kKeyReturn,
                         kF2 = kKeyF2, kF3 = kKeyF3, kF5 = kKeyF5, kUp = kKeyUp, kDown = kKeyDown;

// Where the commands of a place go, in order, with null between groups.
template <class PlaceOf>
std::vector<const CommandPlaces*> Arranged(PlaceOf placeOf) {
    std::vector<const CommandPlaces*> shown;
    for (const CommandPlaces& places : AllCommandPlaces())
        if (placeOf(places) > 0)
            shown.push_back(&places);
    std::stable_sort(shown.begin(), shown.end(),
                     [&](const CommandPlaces* a, const CommandPlaces* b) {
                         return placeOf(*a) < placeOf(*b);
                     });
    std::vector<const CommandPlaces*> arranged;
    for (const CommandPlaces* places : shown) {
        if (!arranged.empty() && placeOf(*arranged.back()) / 10 != placeOf(*places) / 10)
            arranged.push_back(nullptr);
        arranged.push_back(places);
    }
    return arranged;
}

}  // namespace

const std::vector<CommandPlaces>& AllCommandPlaces() {
    using enum CommandMenu;
#define SRF_COMMAND_PLACES(name, id, number, caption, hint, image, key1, key2, menu, menuPlace, \
                           toolPlace, contextPlace, enabled, rule)                              \
    CommandPlaces{number,       Command::name, caption,   hint,      image,                     \
                  {key1, key2}, menu,          menuPlace, toolPlace, contextPlace},
    static const std::vector<CommandPlaces> all = {SRF_EDITOR_COMMANDS(SRF_COMMAND_PLACES)};
#undef SRF_COMMAND_PLACES
    return all;
}

std::vector<const CommandPlaces*> MenuItems(CommandMenu menu) {
    return Arranged(
        [menu](const CommandPlaces& places) { return places.menu == menu ? places.menuPlace : 0; });
}

std::vector<const CommandPlaces*> ToolButtons() {
    return Arranged([](const CommandPlaces& places) { return places.toolPlace; });
}

std::vector<const CommandPlaces*> ContextMenuItems() {
    return Arranged([](const CommandPlaces& places) { return places.contextPlace; });
}

const std::vector<MenuBarEntry>& MenuBar() {
    static const std::vector<MenuBarEntry> bar = {{CommandMenu::File, texts::kMenuFile, true},
                                                  {CommandMenu::Update, texts::kMenuUpdate, true},
                                                  {CommandMenu::Help, texts::kMenuHelp, false}};
    return bar;
}

}  // namespace editor
