// Reading one block of a keyword file: after the line that names the block
// comes a "{" line, the block's keys and a "}" line. A block whose "{" is
// missing is read as if it were there; a line that starts another block
// before the "}" ends it early (that line stays current for the caller);
// the end of the file ends it too. Each case is reported with the file and
// line.
#pragma once

#include <string>

#include "app/debug.h"
#include "app/keyword.h"
#include "app/path.h"

enum class KeywordBlockEnd {
    kClosed,     // its "}" was read
    kNextBlock,  // a line naming a block came first (its "}" is missing)
    kEndOfFile,
};

// Reads the keys of the block whose "{" line comes next, handing each key
// line to `line()`. `startsBlock()` says whether the current line names a
// block of the file.
template <typename StartsBlock, typename Line>
KeywordBlockEnd ReadKeywordBlock(CSKeywordFile *file, StartsBlock startsBlock, Line line)
{
    if (!file->NextLine()) {
        file->Report("the file ends before the block's \"{\"");
        return KeywordBlockEnd::kEndOfFile;
    }
    if (startsBlock()) {
        file->Report("a block without its \"{\"");
        return KeywordBlockEnd::kNextBlock;
    }
    if (!file->IsBlockOpen()) {
        // Read on as if it had been there: this line is the block's first.
        file->Report("\"{\" expected");
        if (file->IsBlockClose()) {
            return KeywordBlockEnd::kClosed;
        }
        line();
    }
    while (file->NextLine()) {
        if (file->IsBlockClose()) {
            return KeywordBlockEnd::kClosed;
        }
        if (startsBlock()) {
            file->Report("the block before is not closed by \"}\"");
            return KeywordBlockEnd::kNextBlock;
        }
        if (file->IsBlockOpen()) {
            file->Report("a \"{\" inside a block");
            continue;
        }
        line();
    }
    file->Report("the file ends inside a block (\"}\" missing)");
    return KeywordBlockEnd::kEndOfFile;
}

// The same for a file whose blocks all carry one name.
template <typename Line>
KeywordBlockEnd ReadKeywordBlock(CSKeywordFile *file, const char *blockName, Line line)
{
    return ReadKeywordBlock(file, [file, blockName] { return file->KeyIs(blockName); }, line);
}

// A list file that gives no block although it does not announce none (an
// empty file, text without a block of `blockName`, or blocks that are all
// refused) is named on standard error with why and what follows
// (`outcome`, "the stage has no actors"); the readers go on as for an
// empty list. `anyLine`: the file had a line that is not blank.
inline void SayWhenKeywordListGaveNothing(CSKeywordFile *file, const char *blockName, const char *outcome, bool anyLine,
                                          bool anyBlock, bool announcedNone, size_t got)
{
    if (got != 0 || announcedNone) {
        return;
    }
    const std::string name = MessagePath(file->Name());
    if (!anyLine) {
        UserPrint("%s: the file is empty; %s\n", name.c_str(), outcome);
    } else if (!anyBlock) {
        UserPrint("%s: no %s block in the file; %s\n", name.c_str(), blockName, outcome);
    } else {
        UserPrint("%s: no %s block of the file can be used; %s\n", name.c_str(), blockName, outcome);
    }
}

// Says whether an announced count (`announced` false: the file has no count
// line) matches the blocks read; reports when not.
inline void CheckKeywordBlockCount(CSKeywordFile *file, const char *what, bool announced, int32_t expected,
                                   size_t got)
{
    if (!announced) {
        file->Report("the file does not say how many %s it holds", what);
    } else if (static_cast<size_t>(expected) != got) {
        file->Report("%d %s announced, %zu read", expected, what, got);
    }
}
