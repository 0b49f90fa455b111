// Every command of the phrase editor, once: its name, its id (menu item, tool button, key), where
// it shows (menu, tool bar, context menu, with its caption, tool tip, image and keys), the rule
// that greys it, and the rule of EditorCommands that runs it (none for the few the window does
// itself: the find and filter boxes, the choice of all phrases; null there). A new command is one
// row here and its rule.
//
// A place is given as group * 10 + rank within the group, 0 where the command does not show: the
// items of a place go in that order, with a separator between groups. Keys are virtual-key codes.
#pragma once

// clang-format off
#define SRF_EDITOR_COMMANDS(X)                                                                                                                                                                  \
    /* name          id                no.  menu caption             tool tip              img key 1           key 2           menu    places      enabled     run */                           \
    X(New,           IDM_NEW,          101, texts::kMenuNew,         texts::kHintNew,      1,  Plain(kInsert), NoKey,          File,   11, 11, 11, Always,     &EditorCommands::New)            \
    X(NewCategory,   IDM_NEW_CATEGORY, 115, texts::kMenuNewCategory, nullptr,              12, NoKey,          NoKey,          File,   12, 0,  0,  Always,     &EditorCommands::NewCategory)    \
    X(Save,          IDM_SAVE,         104, texts::kMenuSave,        texts::kHintSave,     4,  Ctrl('S'),      NoKey,          File,   21, 14, 0,  Always,     &EditorCommands::Save)           \
    X(RestoreBackup, IDM_RESTORE,      116, texts::kMenuRestore,     nullptr,              13, NoKey,          NoKey,          File,   22, 0,  0,  HasBackup,  &EditorCommands::RestoreBackup)  \
    X(Export,        IDM_EXPORT,       117, texts::kMenuExport,      nullptr,              -1, NoKey,          NoKey,          File,   31, 0,  0,  DataLoaded, &EditorCommands::Export)         \
    X(Import,        IDM_IMPORT,       118, texts::kMenuImport,      nullptr,              -1, NoKey,          NoKey,          File,   32, 0,  0,  DataLoaded, &EditorCommands::Import)         \
    X(SyncSettings,  IDM_SYNC,         127, texts::kMenuSync,        nullptr,              -1, NoKey,          NoKey,          File,   33, 0,  0,  Always,     &EditorCommands::SyncSettings)   \
    X(SyncNow,       IDM_SYNC_NOW,     128, texts::kMenuSyncNow,     nullptr,              -1, Plain(kF5),     NoKey,          File,   34, 0,  0,  Always,     &EditorCommands::SyncNow)        \
    X(Quit,          IDM_QUIT,         105, texts::kMenuQuit,        texts::kHintQuit,     5,  NoKey,          NoKey,          File,   41, 15, 0,  Always,     &EditorCommands::Quit)           \
    X(Undo,          IDM_UNDO,         108, texts::kMenuUndo,        texts::kHintUndo,     7,  Ctrl('Z'),      NoKey,          Update, 11, 21, 0,  CanUndo,    &EditorCommands::Undo)           \
    X(Redo,          IDM_REDO,         109, texts::kMenuRedo,        texts::kHintRedo,     8,  Ctrl('Y'),      NoKey,          Update, 12, 22, 0,  CanRedo,    &EditorCommands::Redo)           \
    X(Modify,        IDM_EDIT,         102, texts::kMenuEdit,        texts::kHintEdit,     2,  Plain(kF2),     Plain(kReturn), Update, 21, 12, 12, Always,     &EditorCommands::Modify)         \
    X(BatchEdit,     IDM_BATCH_EDIT,   120, texts::kMenuBatchEdit,   nullptr,              -1, NoKey,          NoKey,          Update, 22, 0,  31, OnNode,     &EditorCommands::BatchEdit)      \
    X(Delete,        IDM_DELETE,       103, texts::kMenuDelete,      texts::kHintDelete,   3,  Plain(kDelete), NoKey,          Update, 31, 13, 13, Always,     &EditorCommands::DeleteSet)       \
    X(Find,          IDM_FIND,         110, texts::kMenuFind,        texts::kHintFind,     9,  Ctrl('F'),      NoKey,          Update, 41, 31, 0,  Always,     nullptr)                         \
    X(Filter,        IDM_FILTER,       123, texts::kMenuFilter,      texts::kHintFilter,   14, Ctrl('E'),      NoKey,          Update, 42, 34, 0,  Always,     nullptr)                         \
    X(FindNext,      IDM_FIND_NEXT,    111, nullptr,                 nullptr,              -1, Plain(kF3),     NoKey,          None,   0,  0,  0,  Always,     nullptr)                         \
    X(MoveUp,        IDM_MOVE_UP,      113, texts::kMenuMoveUp,      texts::kHintMoveUp,   10, Ctrl(kUp),      NoKey,          Update, 51, 32, 21, MoveUp,     &EditorCommands::MoveUp)         \
    X(MoveDown,      IDM_MOVE_DOWN,    114, texts::kMenuMoveDown,    texts::kHintMoveDown, 11, Ctrl(kDown),    NoKey,          Update, 52, 33, 22, MoveDown,   &EditorCommands::MoveDown)       \
    X(Sort,          IDM_SORT,         119, texts::kMenuSort,        nullptr,              -1, NoKey,          NoKey,          Update, 53, 0,  32, Sort,       &EditorCommands::Sort)           \
    X(MoveTo,        IDM_MOVE_TO,      122, texts::kMenuMoveTo,      nullptr,              -1, NoKey,          NoKey,          Update, 54, 0,  23, OnPhrase,   &EditorCommands::MoveTo)         \
    X(SetReading,    IDM_SET_READING,  126, texts::kMenuSetReading,  nullptr,              -1, NoKey,          NoKey,          Update, 55, 0,  24, OnPhrase,   &EditorCommands::SetReading)     \
    X(SelectAll,     IDM_SELECT_ALL,   121, texts::kMenuSelectAll,   nullptr,              -1, Ctrl('A'),      NoKey,          Update, 61, 0,  0,  Always,     nullptr)                         \
    X(FindClose,     IDM_FIND_CLOSE,   112, nullptr,                 nullptr,              -1, NoKey,          NoKey,          None,   0,  0,  0,  Always,     nullptr)                         \
    X(FilterClose,   IDM_FILTER_CLOSE, 124, nullptr,                 nullptr,              -1, NoKey,          NoKey,          None,   0,  0,  0,  Always,     nullptr)                         \
    /* MenuHelp is hidden: its items have no command. */                                                                                                                                        \
    X(SystemHelp,    IDM_SYSTEM_HELP,  106, texts::kMenuSystemHelp,  nullptr,              -1, NoKey,          NoKey,          Help,   11, 0,  0,  Always,     nullptr)                         \
    X(VersionHelp,   IDM_VERSION_HELP, 107, texts::kMenuVersionHelp, nullptr,              -1, NoKey,          NoKey,          Help,   21, 0,  0,  Always,     nullptr)
// clang-format on
