// The editor's menus and keys from the command list: each reachable from the keyboard alone.
#include "editor/commands/CommandPlaces.h"

#include <gtest/gtest.h>

#include <set>

#include "app/Mnemonic.h"

namespace editor {
namespace {

std::vector<const char*> Captions(const std::vector<const CommandPlaces*>& items) {
    std::vector<const char*> captions;
    for (const CommandPlaces* item : items)
        if (item)
            captions.push_back(item->caption);
    return captions;
}

TEST(CommandPlaces, EveryMenuGivesEachItemAMnemonicOfItsOwn) {
    std::vector<std::pair<std::string, std::vector<const char*>>> menus;
    std::vector<const char*> bar;
    for (const MenuBarEntry& entry : MenuBar()) {
        bar.push_back(entry.caption);
        menus.emplace_back(entry.caption, Captions(MenuItems(entry.menu)));
    }
    menus.emplace_back("menu bar", bar);
    menus.emplace_back("context menu", Captions(ContextMenuItems()));
    for (const auto& [menu, captions] : menus) {
        std::set<char> seen;
        for (const char* caption : captions) {
            const char letter = app::MnemonicOf(caption);
            EXPECT_NE(letter, 0) << menu << ": an item without a mnemonic";
            EXPECT_TRUE(seen.insert(letter).second) << menu << ": " << letter << " twice";
        }
    }
}

TEST(CommandPlaces, EveryToolButtonHasATipAndAMenuItemOrAKey) {
    for (const CommandPlaces* button : ToolButtons()) {
        if (!button)
            continue;
        EXPECT_NE(button->hint, nullptr) << button->id;
        const bool inMenu = button->menu != CommandMenu::None && button->menuPlace > 0;
        EXPECT_TRUE(inMenu || button->keys[0].key) << button->id;
    }
}

TEST(CommandPlaces, NoKeyMeansTwoCommands) {
    std::set<std::pair<bool, unsigned short>> seen;
    for (const CommandPlaces& places : AllCommandPlaces())
        for (const CommandKey& key : places.keys)
            EXPECT_TRUE(!key.key || seen.insert({key.control, key.key}).second) << places.id;
}

}  // namespace
}  // namespace editor
