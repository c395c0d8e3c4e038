// The message box: the language's message table (FindEntry), the nine-piece
// frame of the interface's boxes cut from the PLAYER art, and the fatal
// missing-file message. The fatal message is text 0 of entry 1 followed by
// the file's name (a built-in English line when the table lacks it); a file
// that is there but could not be read is reported as such, with the
// reader's reason, and a missing file in a folder without a data tree adds
// where to start the game. The report is written to standard error and,
// when a display exists, shown in a blocking system message box, its lines
// wrapped to fit the screen, which a quit signal ends as it ends the game. Before the
// title screen was ever current the program then ends with status 1 (a
// title that cannot load would fail again), unless the file is one the game
// goes on without (RaiseFatalErrorGoingOn: a movie); afterwards the game
// returns to the title.
#pragma once

#include <cstdint>
#include <string>

#include "app/message_table.h"
#include "app/screen_quad.h"

class CSGameSystem;
struct zuFile;

// Reads a whole message table from an open file (UTF-16 lines through
// zufgetws, however long). False with "line N: reason" in *error.
bool ReadMessageTableFile(zuFile *file, game::MessageTable *table, std::string *error);

// The entry whose text 0 leads the fatal message.
inline constexpr int32_t kFatalMessageEntry = 1;
// Said when the table has no such entry.
inline constexpr const char16_t *kBuiltInFatalText = u"Cannot find the file: ";
// Said after a missing file when the game's folder holds no data tree.
inline constexpr const char16_t *kNoDataTreeText =
    u"The folder the game started in holds no data tree (RESOURCE, PACK): start the game in the sample data "
    u"folder (build/data) or in the folder of a data tree.";

class CSMessageBox {
public:
    CSMessageBox();

    // Reads "\RESOURCE\UITEXT\MESSAGE\<LNG>.TCR" of the language (quietly:
    // a missing or damaged table is reported on standard error and leaves
    // the box without one). False when no table was read.
    bool LoadTable(int32_t language);
    void SetTable(game::MessageTable table) { table_ = std::move(table); }
    const game::MessageTable &Table() const { return table_; }
    // The entry with that id, or null.
    const game::MessageEntry *FindEntry(int32_t id) const { return table_.Find(id); }

    // The PLAYER art the frame is cut from (the screen manager's); null
    // draws the pieces untextured: a dark panel with light edges.
    void SetFrameTexture(RwTexture *player) { frameTexture_ = player; }
    // Fits the frame around (left, top)-(right, bottom) grown by `margin`
    // on every side, in 640 x 480 units.
    void SetFrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t margin);
    // Draws the nine pieces; between camera begin and end.
    void DrawFrame() const;
    const game::ScreenQuad *FramePieces() const { return pieces_; }

    // The fatal message for a file.
    std::u16string FatalMessage(const char *fileName) const;
    // What the fatal report says of the file: "Cannot read <file>: <reason>"
    // for a file noted as unreadable (NoteUnreadableFile), else the fatal
    // message, followed by kNoDataTreeText on a line of its own when the
    // data root has no RESOURCE folder.
    std::u16string FatalReport(const char *fileName) const;
    // Reports the file (see above); returns only once the title was reached,
    // or for a file the game goes on without.
    void ShowFatalError(const char *fileName);
    // Called by the screen manager when the title screen becomes current.
    void SetTitleReached() { titleReached_ = true; }
    bool TitleReached() const { return titleReached_; }

private:
    game::MessageTable table_;
    RwTexture *frameTexture_ = nullptr;
    game::ScreenQuad pieces_[9];
    bool titleReached_ = false;
};
