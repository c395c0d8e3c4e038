// The message box's work with the shell: reading the language's message
// table through zufgetws, and the fatal missing-file report.
#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/application.h"
#include "app/bitmap_font.h"
#include "app/box_text.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/message_box.h"
#include "app/path.h"
#include "app/quit_signal.h"
#include "app/utf8.h"
#include "stage/stage_screen_calls.h"

namespace {

// A person can see a message box: a real window on a real display.
bool DisplayExists()
{
    if (g_pApplication == nullptr || g_pApplication->Options().headless || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

// The data root holds the game's data: its RESOURCE folder is there.
bool DataTreeHere()
{
    struct stat info {};
    const std::string resource = ResolveGamePath("\\RESOURCE");
    return !resource.empty() && stat(resource.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool ReadMessageTableFile(zuFile *file, game::MessageTable *table, std::string *error)
{
    return game::ParseMessageTable([file](std::u16string *line) { return zufgetwline(file, line); }, table,
                                   error);
}

bool CSMessageBox::LoadTable(int32_t tableLanguage)
{
    table_ = game::MessageTable{};
    const char *code = game::MessageLanguageCode(tableLanguage);
    if (code == nullptr) {
        return false;
    }
    const std::string path = std::string("\\RESOURCE\\UITEXT\\MESSAGE\\") + code + ".TCR";
    zuFile *file = zufopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;  // zufopen has said so; the fatal message has a line of its own
    }
    std::string error;
    const bool ok = ReadMessageTableFile(file, &table_, &error);
    zufclose(file);
    if (!ok) {
        UserPrint("%s: %s; the message table is not used\n", MessagePath(path).c_str(), error.c_str());
    }
    return ok;
}

std::u16string CSMessageBox::FatalReport(const char *fileName) const
{
    const std::string reason = UnreadableReason(fileName);
    if (!reason.empty()) {
        return u"Cannot read " + game::WidenLatin1(MessagePath(fileName).c_str()) + u": " +
               game::WidenLatin1(reason.c_str());
    }
    std::u16string message = FatalMessage(fileName);
    if (!DataTreeHere()) {
        message += u"\n";
        message += kNoDataTreeText;
    }
    return message;
}

void CSMessageBox::ShowFatalError(const char *fileName)
{
    const std::u16string report = FatalReport(fileName);
    UserPrint("%s\n", ToUtf8(report).c_str());
    if (DisplayExists()) {
        // Blocks until the player closes it, or a quit signal ends it.
        const std::string boxed = ToUtf8(WrapBoxText(report));
        ShowBoxUntilQuitSignal(
            [&boxed] { SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", boxed.c_str(), nullptr); });
    }
    if (!titleReached_ && FatalReportGoesOn()) {
        return;  // a file the game goes on without, such as a movie
    }
    if (!titleReached_) {
        // Going back to a title that was never shown would fail the same
        // way: the program ends, its worker threads joined first.
        if (g_pGameSystem != nullptr) {
            g_pGameSystem->acosTable.Join();
        }
        if (g_stageLoadingScreen != nullptr && g_stageLoadingScreen->stopThread != nullptr) {
            g_stageLoadingScreen->stopThread();
        }
        std::fflush(stderr);
        std::exit(1);
    }
    RequestStageExit();
}
